#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "command/kel_command.h"
#include "trace_record.h"
#include "transport/bus_tap.h"

namespace kelcmd::app {

// The wire bytes of a command's request, CRC included, as hex.
std::string RequestHex(const CKelCommand& command);

// What the bus tap makes of one event, for the trace: its time on the wall clock (the tap's is
// monotonic; `wallAtStart` and `monotonicAtStart` are one moment on both clocks).
TraceRecord RecordOf(const BusEvent& event, std::chrono::system_clock::time_point wallAtStart,
                     uint64_t monotonicAtStart);

// Reports everything on one port's line as the bus tap sees it, one record per thing on the wire
// and the result of each exchange: as readable lines on `text` and as JSON lines on `json`
// (either may be null). The records are written in the thread that made the exchange, before its
// command returns, so that they come before what the program prints about the command.
class FrameTrace {
  public:
    FrameTrace(const std::string& port, std::FILE* text, std::FILE* json);

  private:
    void Report(const BusEvent& event);

    std::FILE* text_;
    std::FILE* json_;
    const std::chrono::system_clock::time_point wallAtStart_;
    const uint64_t monotonicAtStart_;
    TapSubscription subscription_;  // last: ends before the members it reports with
};

}  // namespace kelcmd::app
