#include "transport/remote_line.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <random>
#include <utility>

#include "platform/cancel_signal.h"
#include "transport/result_codes.h"
#include "transport/unit_hearing.h"

namespace kelcmd {

namespace {

enum class BridgeStatus { kUnknown, kOnline, kOffline };

// Unique among the processes on the broker: the process, a counter, and a random part for
// processes of equal id on other machines.
std::string NewClientId() {
    static std::atomic<uint32_t> counter{0};
    std::random_device random;
    return "kelcmd-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" +
           std::to_string(random() % 1000000);
}

// How long an open waits for the bridge's retained status, so that the first exchange already
// knows an offline bridge.
constexpr std::chrono::milliseconds kStatusWait{300};

constexpr const char* kClosedMeanwhile = "the port was closed from another thread";

}  // namespace

// Shared with the pipe's listener, which may still run while the line is being destroyed.
struct RemoteLine::State {
    std::mutex lock;
    CancelSignal changed;  // raised at each change, so that a wait can also watch the cancel
    std::string statusTopic;
    std::string replyTopic;
    std::string correlationPrefix;
    bool connected = true;
    uint64_t connectionLosses = 0;
    BridgeStatus bridge = BridgeStatus::kUnknown;
    std::string pending;  // correlation data of the exchange in progress; empty: none
    std::optional<ExchangeReply> reply;
    uint64_t dropped = 0;

    void Take(PipeMessage message) {
        std::lock_guard guard(lock);
        if (message.topic == statusTopic) {
            const std::string status(message.payload.begin(), message.payload.end());
            bridge = status == "online"    ? BridgeStatus::kOnline
                     : status == "offline" ? BridgeStatus::kOffline
                                           : BridgeStatus::kUnknown;
        } else if (message.topic == replyTopic) {
            std::optional<ExchangeReply> decoded = DecodeExchangeReply(message.payload);
            if (pending.empty() || message.correlation != pending || !decoded ||
                correlationPrefix + std::to_string(decoded->id) != pending) {
                ++dropped;
                return;
            }
            reply = std::move(decoded);
            pending.clear();
        }
        changed.Raise();
    }

    void Connection(bool up) {
        std::lock_guard guard(lock);
        if (connected && !up) ++connectionLosses;
        connected = up;
        changed.Raise();
    }
};

RemoteLine::RemoteLine(RemoteAddress address, std::string clientId, std::shared_ptr<State> state,
                       int cancelDescriptor)
    : address_(std::move(address)),
      clientId_(std::move(clientId)),
      replyTopic_(state->replyTopic),
      state_(std::move(state)),
      cancelDescriptor_(cancelDescriptor) {}

RemoteLine::~RemoteLine() {
    pipe_.reset();  // waits until the listener is called no more
}

std::unique_ptr<RemoteLine> RemoteLine::Open(const std::string& device, int cancelDescriptor) {
    ClearThreadSystemError();
    std::string problem;
    std::optional<RemoteAddress> address = ParseRemoteAddress(device, problem);
    if (!address) {
        RecordThreadSystemError({EINVAL, "open " + device + " (" + problem + ")", ""});
        return nullptr;
    }
    auto state = std::make_shared<State>();
    const std::string clientId = NewClientId();
    state->statusTopic = address->Topic("status");
    state->replyTopic = address->Topic("exchange/reply/" + clientId);
    state->correlationPrefix = clientId + "/";

    PipeConfig config{address->broker,
                      address->caFile,
                      clientId,
                      {state->statusTopic, state->replyTopic},
                      cancelDescriptor};
    PipeListener listener{[state](PipeMessage message) { state->Take(std::move(message)); },
                          [state](bool connected) { state->Connection(connected); }};
    SystemError reason;
    std::unique_ptr<MessagePipe> pipe = OpenPipe(config, std::move(listener), reason);
    if (!pipe) {
        if (reason.number == 0) reason = {ECONNREFUSED, "connect to", address->broker};
        RecordThreadSystemError(reason);
        return nullptr;
    }
    std::unique_ptr<RemoteLine> line(new RemoteLine(*address, clientId, state, cancelDescriptor));
    line->pipe_ = std::move(pipe);
    std::unique_lock guard(state->lock);
    const auto known = [&state] { return state->bridge != BridgeStatus::kUnknown; };
    if (line->Wait(guard, known, kStatusWait) == WaitEnd::kCancelled) {
        RecordThreadSystemError({ECANCELED, "open", device, kClosedMeanwhile});
        return nullptr;
    }
    return line;
}

RemoteLine::WaitEnd RemoteLine::Wait(std::unique_lock<std::mutex>& guard,
                                     const std::function<bool()>& over,
                                     std::optional<std::chrono::milliseconds> bound) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = bound ? Clock::now() + *bound : Clock::time_point::max();
    const int changedDescriptor = state_->changed.Descriptor();
    while (!over()) {
        int timeoutMs = -1;
        if (bound) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return WaitEnd::kTimedOut;
            timeoutMs = static_cast<int>(std::min<int64_t>(left.count(), INT32_MAX));
        }
        // Without its eventfd a change is seen at the next look.
        if (changedDescriptor < 0) timeoutMs = timeoutMs < 0 ? 10 : std::min(timeoutMs, 10);
        pollfd descriptors[2] = {{changedDescriptor, POLLIN, 0}, {cancelDescriptor_, POLLIN, 0}};
        guard.unlock();
        ::poll(descriptors, 2, timeoutMs);  // a descriptor of -1 is not watched
        state_->changed.Clear();            // before the next look at the state: nothing is lost
        guard.lock();
        if (descriptors[1].revents & POLLIN) return WaitEnd::kCancelled;
    }
    return WaitEnd::kOver;
}

bool RemoteLine::Cancelled() const {
    if (cancelDescriptor_ < 0) return false;
    pollfd descriptor{cancelDescriptor_, POLLIN, 0};
    return ::poll(&descriptor, 1, 0) == 1 && (descriptor.revents & POLLIN) != 0;
}

uint64_t RemoteLine::DroppedReplies() const {
    std::lock_guard guard(state_->lock);
    return state_->dropped;
}

void RemoteLine::Fail(int number, const std::string& what, const std::string& reason) const {
    RecordThreadSystemError({number, what, address_.prefix + "/" + address_.bus, reason});
}

uint8_t RemoteLine::Run(CFrameExchange& exchange, ExchangeOperation operation,
                        const ExchangeWatch& watch, uint8_t sendFailure) {
    ForgetUnitMayHaveActed();
    const uint64_t id = ++lastId_;
    const std::string correlation = state_->correlationPrefix + std::to_string(id);
    uint64_t losses = 0;
    {
        std::lock_guard guard(state_->lock);
        if (!state_->connected) {
            Fail(ENOTCONN, "broker " + address_.broker + " not reached for");
            return sendFailure;
        }
        if (state_->bridge == BridgeStatus::kOffline) {
            Fail(EHOSTDOWN, "bridge offline for");
            return sendFailure;
        }
        if (Cancelled()) {  // a close waits for the port: nothing more goes out
            Fail(ECANCELED, "exchange on", kClosedMeanwhile);
            return sendFailure;
        }
        state_->pending = correlation;
        state_->reply.reset();
        losses = state_->connectionLosses;
    }
    if (watch.events != nullptr) watch.events->Begin();
    const std::vector<uint8_t> request = EncodeExchangeRequest(RequestOf(exchange, operation, id));
    if (!pipe_->Publish(address_.Topic("exchange"), request, replyTopic_, correlation)) {
        std::lock_guard guard(state_->lock);
        state_->pending.clear();
        Fail(ENOTCONN, "broker " + address_.broker + " did not take the request for");
        return sendFailure;
    }

    std::unique_lock guard(state_->lock);
    const auto over = [&] {
        return state_->reply.has_value() || state_->connectionLosses != losses ||
               state_->bridge == BridgeStatus::kOffline;
    };
    std::optional<std::chrono::milliseconds> bound;
    if (exchange.answerTimeout != 0) {
        bound = std::chrono::milliseconds(uint64_t{exchange.answerTimeout} + address_.allowanceMs);
    }
    const WaitEnd end = Wait(guard, over, bound);
    std::optional<ExchangeReply> reply = std::exchange(state_->reply, std::nullopt);
    state_->pending.clear();  // a reply that still comes is dropped
    if (!reply) {
        NoteUnitMayHaveActed();  // the request went out: nobody can tell what became of it
        if (end == WaitEnd::kCancelled) {
            Fail(ECANCELED, "exchange on", kClosedMeanwhile);
        } else if (state_->connectionLosses != losses) {
            Fail(ECONNRESET, "broker " + address_.broker + " lost during an exchange on");
        } else if (state_->bridge == BridgeStatus::kOffline) {
            Fail(EHOSTDOWN, "bridge went offline during an exchange on");
        } else {
            Fail(ETIMEDOUT, "no reply in time from the bridge of");
        }
        return WIN_ERR_READCOMM;
    }
    guard.unlock();

    LoadReply(*reply, exchange);
    if (reply->mayHaveExecuted) NoteUnitMayHaveActed();
    if (watch.events != nullptr) {
        for (const BusEvent& event : reply->events) watch.events->Replay(event);
    }
    if (reply->answerReceived && watch.reception) watch.reception();
    if (reply->systemError.number != 0) {
        SystemError bridgeError = reply->systemError;
        bridgeError.operation = "bridge: " + bridgeError.operation;
        RecordThreadSystemError(bridgeError);
    }
    return reply->result;
}

uint8_t RemoteLine::Exchange(CFrameExchange& exchange, uint32_t /*sendTrials*/,
                             const ExchangeWatch& watch) {
    // The bridge's port makes the transmissions with its own send trials.
    return Run(exchange, ExchangeOperation::kExchange, watch, WIN_ERR_WRITECOMM);
}

uint8_t RemoteLine::SendFrame(CFrameExchange& exchange, bool retry, const ExchangeWatch& watch) {
    return Run(exchange, retry ? ExchangeOperation::kSendWithRetry : ExchangeOperation::kSend,
               watch, WIN_ERR_WRITECOMM);
}

uint8_t RemoteLine::ReceiveFrame(CFrameExchange& exchange, bool resend,
                                 const ExchangeWatch& watch) {
    return Run(exchange,
               resend ? ExchangeOperation::kReceiveWithResend : ExchangeOperation::kReceive, watch,
               WIN_ERR_READCOMM);
}

}  // namespace kelcmd
