#include "transport/bus_event_log.h"

#include <atomic>
#include <utility>

#include "platform/clock.h"

namespace kelcmd {
namespace {

std::atomic<uint64_t> lastExchange{0};

}  // namespace

BusEventLog::BusEventLog(std::string port)
    : active_(true), port_(std::move(port)), exchange_(++lastExchange) {}

void BusEventLog::Begin() {
    if (active_ && startNs_ == 0) startNs_ = MonotonicNanoseconds();
}

BusEvent BusEventLog::Stamped(BusEventKind kind, BusDirection direction) {
    Begin();
    BusEvent event;
    event.kind = kind;
    event.direction = direction;
    event.timeNs = MonotonicNanoseconds();
    event.elapsedNs = event.timeNs - startNs_;
    event.exchange = exchange_;
    event.port = port_;
    return event;
}

void BusEventLog::Record(BusEventKind kind, BusDirection direction,
                         std::span<const uint8_t> bytes, uint8_t result) {
    if (!active_) return;
    BusEvent event = Stamped(kind, direction);
    event.bytes.assign(bytes.begin(), bytes.end());
    event.result = result;
    events_.push_back(std::move(event));
}

void BusEventLog::Finish(BusEvent verdict) {
    if (!active_) return;
    BusEvent event = Stamped(BusEventKind::kResult, BusDirection::kNone);
    event.result = verdict.result;
    event.refused = verdict.refused;
    event.unitError = verdict.unitError;
    event.warning = verdict.warning;
    event.failedMember = verdict.failedMember;
    event.trials = verdict.trials;
    events_.push_back(std::move(event));
}

std::vector<BusEvent> BusEventLog::TakeEvents() {
    return std::exchange(events_, {});
}

}  // namespace kelcmd
