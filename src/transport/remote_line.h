#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "transport/exchange_line.h"
#include "transport/exchange_message.h"
#include "transport/message_pipe.h"
#include "transport/remote_address.h"

namespace kelcmd {

// A bus that a bridge owns on another machine, reached through a message broker. Each exchange is
// one request to <prefix>/<bus>/exchange and one reply on this line's own reply topic; the ninth
// bit, the gaps and the character timeouts stay on the bridge's side.
//
// An exchange waits for its reply at most the answer timeout plus the address's network
// allowance (without a limit when the answer timeout is 0, but never past a lost broker). What
// fails here is told by result code and by the thread's system error: a request that cannot leave
// (no broker, bridge offline) is a failed write, a reply that does not come a failed read. Every
// request carries a fresh id; a reply for any other id (one that came too late) is dropped.
//
// Like the serial line, every wait (for the broker, the bridge's status, a reply) also watches
// the port's cancel descriptor: a close or new settings from another thread end it at once, the
// exchange failing as a failed read with ECANCELED.
class RemoteLine : public ExchangeLine {
  public:
    // Connects to the broker; null with the reason recorded for the thread when it cannot.
    // `cancelDescriptor` (platform/cancel_signal.h, -1 for none) ends every wait while readable.
    static std::unique_ptr<RemoteLine> Open(const std::string& device, int cancelDescriptor = -1);
    ~RemoteLine() override;
    RemoteLine(const RemoteLine&) = delete;
    RemoteLine& operator=(const RemoteLine&) = delete;

    bool IsOpen() const override { return true; }
    uint8_t Exchange(CFrameExchange& exchange, uint32_t sendTrials,
                     const ExchangeWatch& watch) override;
    uint8_t SendFrame(CFrameExchange& exchange, bool retry, const ExchangeWatch& watch) override;
    uint8_t ReceiveFrame(CFrameExchange& exchange, bool resend,
                         const ExchangeWatch& watch) override;

    // Replies that came for no exchange in progress and were dropped.
    uint64_t DroppedReplies() const;

    struct State;

  private:
    enum class WaitEnd { kOver, kTimedOut, kCancelled };

    RemoteLine(RemoteAddress address, std::string clientId, std::shared_ptr<State> state,
               int cancelDescriptor);
    uint8_t Run(CFrameExchange& exchange, ExchangeOperation operation, const ExchangeWatch& watch,
                uint8_t sendFailure);
    // Until `over` (checked with the state's lock, which `guard` holds), the bound, or the
    // cancel; without a bound no limit but the cancel.
    WaitEnd Wait(std::unique_lock<std::mutex>& guard, const std::function<bool()>& over,
                 std::optional<std::chrono::milliseconds> bound) const;
    bool Cancelled() const;
    void Fail(int number, const std::string& what, const std::string& reason = {}) const;

    RemoteAddress address_;
    std::string clientId_;
    std::string replyTopic_;
    std::shared_ptr<State> state_;
    int cancelDescriptor_;  // not owned
    std::unique_ptr<MessagePipe> pipe_;
    uint64_t lastId_ = 0;
};

}  // namespace kelcmd
