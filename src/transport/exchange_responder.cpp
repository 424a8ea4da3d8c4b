#include "transport/exchange_responder.h"

#include <utility>

#include "transport/bus_event_log.h"
#include "transport/bus_tap.h"
#include "transport/exchange_message.h"
#include "transport/kel_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

bool IsPortFailure(uint8_t result) {
    return result >= WIN_ERR_OPENCOMM && result <= WIN_ERR_CLOSECOMM;
}

// The unit may have acted: it acknowledged with anything but "frame corrupted", or an answer
// began.
bool MayHaveExecuted(const std::vector<BusEvent>& events) {
    for (const BusEvent& event : events) {
        if (event.kind == BusEventKind::kAnswer) return true;
        if (event.kind == BusEventKind::kAcknowledge && event.result != XMT_ERR_CRC) return true;
    }
    return false;
}

bool IsReception(ExchangeOperation operation) {
    return operation == ExchangeOperation::kReceive ||
           operation == ExchangeOperation::kReceiveWithResend;
}

// Runs the request on the port's line under its lock; the result code.
uint8_t RunOnLine(CKelPort& port, const ExchangeRequest& request, CFrameExchange& exchange,
                  BusEventLog& events, SystemError& reason) {
    const uint8_t refused = IsReception(request.operation) ? WIN_ERR_READCOMM : WIN_ERR_WRITECOMM;
    if (port.IsReservedByOther()) return refused;
    return port.UseLine([&](CSerialLine& line) -> uint8_t {
        if (!line.IsOpen()) return refused;
        const ExchangeWatch watch{nullptr, &events};
        uint8_t result = refused;
        switch (request.operation) {
            case ExchangeOperation::kExchange:
                result = line.Exchange(exchange, port.GetSendTrials(), watch);
                break;
            case ExchangeOperation::kSend:
            case ExchangeOperation::kSendWithRetry:
                result =
                    line.SendFrame(exchange, request.operation != ExchangeOperation::kSend, watch);
                break;
            case ExchangeOperation::kReceive:
            case ExchangeOperation::kReceiveWithResend:
                result = line.ReceiveFrame(exchange,
                                           request.operation != ExchangeOperation::kReceive, watch);
                break;
        }
        if (IsPortFailure(result)) reason = line.GetLastSystemError();
        return result;
    });
}

}  // namespace

bool ExchangeResponder::Claim(const std::string& correlation,
                              std::optional<std::vector<uint8_t>>& known) {
    std::lock_guard guard(lock_);
    auto it = replies_.find(correlation);
    if (it != replies_.end()) {
        ++duplicates_;
        if (!it->second.empty()) known = it->second;
        return false;
    }
    replies_.emplace(correlation, std::vector<uint8_t>());
    order_.push_back(correlation);
    while (order_.size() > remembered_) {
        replies_.erase(order_.front());
        order_.pop_front();
    }
    return true;
}

void ExchangeResponder::Remember(const std::string& correlation,
                                 const std::vector<uint8_t>& reply) {
    std::lock_guard guard(lock_);
    auto it = replies_.find(correlation);
    if (it != replies_.end()) it->second = reply;
}

std::optional<std::vector<uint8_t>> ExchangeResponder::Answer(CKelPort& port,
                                                              std::span<const uint8_t> request,
                                                              const std::string& correlation) {
    std::optional<ExchangeRequest> decoded = DecodeExchangeRequest(request);
    if (!decoded || correlation.empty()) {
        std::lock_guard guard(lock_);
        ++malformed_;
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> known;
    if (!Claim(correlation, known)) return known;

    CFrameExchange exchange;
    LoadRequest(*decoded, exchange);
    BusEventLog events(port.GetName());
    SystemError reason;
    const uint8_t result = RunOnLine(port, *decoded, exchange, events, reason);

    std::vector<BusEvent> wire = events.TakeEvents();
    ExchangeReply reply = ReplyOf(exchange, decoded->id, result);
    reply.events = wire;
    reply.mayHaveExecuted = MayHaveExecuted(wire);
    reply.systemError = reason;
    std::vector<uint8_t> encoded = EncodeExchangeReply(reply);
    Remember(correlation, encoded);

    // The bridge's own tap sees the exchange as if its port had made it.
    if (BusTap().HasSubscribers()) {
        BusEvent verdict;
        verdict.result = result;
        verdict.trials = exchange.trials;
        events.Finish(verdict);
        for (BusEvent& closing : events.TakeEvents()) wire.push_back(std::move(closing));
        BusTap().Publish(std::move(wire));
    }
    return encoded;
}

uint64_t ExchangeResponder::Duplicates() const {
    std::lock_guard guard(lock_);
    return duplicates_;
}

uint64_t ExchangeResponder::Malformed() const {
    std::lock_guard guard(lock_);
    return malformed_;
}

}  // namespace kelcmd
