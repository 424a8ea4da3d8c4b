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

void BusEventLog::Append(BusEvent event) {
    Begin();
    event.timeNs = MonotonicNanoseconds();
    event.elapsedNs = event.timeNs - startNs_;
    event.exchange = exchange_;
    event.port = port_;
    events_.push_back(std::move(event));
}

void BusEventLog::Record(BusEventKind kind, BusDirection direction, std::span<const uint8_t> bytes,
                         uint8_t result) {
    if (!active_) return;
    BusEvent event;
    event.kind = kind;
    event.direction = direction;
    event.bytes.assign(bytes.begin(), bytes.end());
    event.result = result;
    Append(std::move(event));
}

void BusEventLog::Replay(BusEvent event) {
    if (!active_) return;
    Begin();
    event.timeNs = startNs_ + event.elapsedNs;
    event.exchange = exchange_;
    event.port = port_;
    events_.push_back(std::move(event));
}

void BusEventLog::Finish(BusEvent verdict) {
    if (!active_) return;
    verdict.kind = BusEventKind::kResult;
    verdict.direction = BusDirection::kNone;
    verdict.bytes.clear();
    Append(std::move(verdict));
}

std::vector<BusEvent> BusEventLog::TakeEvents() {
    return std::exchange(events_, {});
}

}  // namespace kelcmd
