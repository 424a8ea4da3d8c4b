#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "mqtt_client.h"

namespace kelcmd::testing {

// What a shell command printed (standard output and error) and its exit status (-1 when it did not
// exit by itself).
struct ProgramRun {
    std::string output;
    int status = -1;
};
ProgramRun RunProgram(const std::string& command);

// The kelcmd-bridge program, started with `arguments` (its own simulated units unless they say
// otherwise) and ended by SIGTERM.
class BridgeProcess {
  public:
    explicit BridgeProcess(const std::vector<std::string>& arguments);
    ~BridgeProcess();
    // SIGTERM, then the exit status (-1 when it did not end by itself within 10 s).
    int Terminate();

  private:
    pid_t pid_ = -1;
};

// A client that watches topics and asks questions with the MQTT 5 response topic; with a CA file
// it speaks TLS.
class BrokerWatcher {
  public:
    BrokerWatcher(const std::string& host, int port, const std::string& filter,
                  const std::string& user = {}, const std::string& password = {},
                  const std::string& caFile = {});

    // The last payload seen on `topic` for which `accept` is true, waiting for it at most
    // `timeout`.
    std::optional<std::string> WaitFor(
        const std::string& topic, const std::function<bool(const std::string&)>& accept,
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Every message seen on topics that end with `suffix`, in order.
    std::vector<std::string> Seen(const std::string& suffix);
    void Forget();

    // Publishes a request with a response topic and the correlation data (a fresh one when
    // empty) and waits for its reply.
    std::optional<nlohmann::json> Ask(const std::string& topic, const std::string& payload,
                                      std::string correlation = {});
    mqtt::Client& client() { return client_; }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::pair<std::string, std::string>> messages_;
    std::map<std::string, std::vector<nlohmann::json>> replies_;  // by correlation data
    std::string replyTopic_;
    int next_ = 0;
    mqtt::Client client_;
};

}  // namespace kelcmd::testing
