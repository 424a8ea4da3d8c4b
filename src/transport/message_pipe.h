#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace kelcmd {

// One message that came through a broker: its topic, its payload, and the correlation data that
// ties a reply to its request.
struct PipeMessage {
    std::string topic;
    std::vector<uint8_t> payload;
    std::string correlation;
    std::string responseTopic;
};

// What a pipe tells its owner, on the pipe's own thread: a message on a subscribed topic, and
// each loss or return of the broker connection.
struct PipeListener {
    std::function<void(PipeMessage)> message;
    std::function<void(bool connected)> connection;
};

// A connection to a message broker, as a remote port needs it: publish with a response topic and
// correlation data, and the messages of the topics it subscribed to when it was opened. A pipe
// reconnects by itself; closing it (destroying it) waits until its listener is called no more.
class MessagePipe {
  public:
    virtual ~MessagePipe() = default;
    // False when the message could not be handed to the broker (not connected, say).
    virtual bool Publish(const std::string& topic, std::span<const uint8_t> payload,
                         const std::string& responseTopic, const std::string& correlation) = 0;
    virtual bool IsConnected() const = 0;
};

// Where a pipe goes and what it listens to.
struct PipeConfig {
    std::string broker;  // mqtt://[user@]host[:port] or mqtts://...
    std::string caFile;  // for mqtts: the certificate authorities to trust; empty: the system's
    std::string clientId;
    std::vector<std::string> subscriptions;
    // While readable (platform/cancel_signal.h), an open still waiting for the broker gives up at
    // once; -1: none.
    int cancelDescriptor = -1;
};

// Opens a pipe, connected; null with the reason in `reason` when the broker cannot be reached.
using PipeOpener = std::function<std::unique_ptr<MessagePipe>(
    const PipeConfig& config, PipeListener listener, SystemError& reason)>;

// Installs the way pipes are opened (a test's in-process broker); null takes it out again. With
// none installed, the broker client plugin is loaded on first use (see remote_pipe_plugin.h).
void InstallPipeOpener(std::shared_ptr<PipeOpener> opener);

// Opens a pipe with the installed opener, loading the plugin when none is installed.
std::unique_ptr<MessagePipe> OpenPipe(const PipeConfig& config, PipeListener listener,
                                      SystemError& reason);

}  // namespace kelcmd
