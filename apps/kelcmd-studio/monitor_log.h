#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "trace_record.h"
#include "transport/bus_event.h"

namespace kelcmd::studio {

// One thing on the wire as the monitor lists it: the trace record and the unit of its exchange.
struct MonitorEntry {
    uint8_t unit = 0;  // the request's destination; 0 when the exchange's request was not seen
    app::TraceRecord record;
};

// What the monitor keeps of the bus tap: the newest entries up to a capacity, each attributed to
// the unit its exchange was addressed to, so that the list can be filtered by unit and saved in
// the --trace-file format.
class MonitorLog {
  public:
    static constexpr size_t kDefaultCapacity = 20000;

    explicit MonitorLog(size_t capacity = kDefaultCapacity);

    // Takes one event; returns the entry made of it.
    const MonitorEntry& Add(const BusEvent& event);
    void Clear();
    const std::deque<MonitorEntry>& Entries() const { return entries_; }
    // Entries dropped at the front because the log was full.
    uint64_t Overflowed() const { return overflowed_; }

    // Whether an entry passes a unit filter (0: every unit).
    static bool Passes(const MonitorEntry& entry, uint8_t unit) {
        return unit == 0 || entry.unit == unit;
    }
    // The entries that pass the filter as JSON lines, as kelcmd --trace-file writes them.
    std::string JsonLines(uint8_t unit) const;

  private:
    size_t capacity_;
    std::deque<MonitorEntry> entries_;
    std::map<uint64_t, uint8_t> exchangeUnits_;  // open exchanges: the unit of each
    uint64_t overflowed_ = 0;
    std::chrono::system_clock::time_point wallAtStart_;
    uint64_t monotonicAtStart_;
};

}  // namespace kelcmd::studio
