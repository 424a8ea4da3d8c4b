#include "monitor_log.h"

#include "frame_trace.h"
#include "platform/clock.h"

namespace kelcmd::studio {
namespace {

// Exchanges whose result never came are forgotten past this many.
constexpr size_t kOpenExchanges = 256;

}  // namespace

MonitorLog::MonitorLog(size_t capacity)
    : capacity_(std::max<size_t>(capacity, 1)),
      wallAtStart_(std::chrono::system_clock::now()),
      monotonicAtStart_(MonotonicNanoseconds()) {}

const MonitorEntry& MonitorLog::Add(const BusEvent& event) {
    uint8_t unit = 0;
    if (event.kind == BusEventKind::kRequest && !event.bytes.empty()) {
        unit = event.bytes[0];
        exchangeUnits_[event.exchange] = unit;
        if (exchangeUnits_.size() > kOpenExchanges) exchangeUnits_.erase(exchangeUnits_.begin());
    } else if (const auto found = exchangeUnits_.find(event.exchange);
               found != exchangeUnits_.end()) {
        unit = found->second;
        if (event.kind == BusEventKind::kResult) exchangeUnits_.erase(found);
    }
    if (entries_.size() >= capacity_) {
        entries_.pop_front();
        ++overflowed_;
    }
    entries_.push_back({unit, app::RecordOf(event, wallAtStart_, monotonicAtStart_)});
    return entries_.back();
}

void MonitorLog::Clear() {
    entries_.clear();
    overflowed_ = 0;
}

std::string MonitorLog::JsonLines(uint8_t unit) const {
    std::string lines;
    for (const MonitorEntry& entry : entries_) {
        if (Passes(entry, unit)) lines += app::TraceJson(entry.record) + "\n";
    }
    return lines;
}

}  // namespace kelcmd::studio
