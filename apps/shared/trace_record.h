#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kelcmd::app {

// One thing on the line as the trace reports it: a frame, an acknowledge, a timeout, ..., or the
// result that closes an exchange.
struct TraceRecord {
    std::chrono::system_clock::time_point time;  // when it left or arrived
    std::string port;
    std::string
        event;  // "request", "acknowledge", "answer", "resend", "purge", "timeout", "result"
    std::string direction;    // "out", "in", or empty for the result
    std::string hex;          // "01 EC 05 ...", the CRC included; empty when nothing came
    uint32_t durationMs = 0;  // from the start of the exchange
    uint32_t result = 0;      // communication result code, 0 OK
    std::string text;         // what it meant: "ACK", "OK", a result's text with its reason
    // The result of an exchange whose unit refused it: the reason (CMD_FAIL is 0) and warning.
    bool refused = false;
    uint32_t unitError = 0;
    int32_t warning = 0;
};

// "14:03:07.251 Com1 >> 01 ...", "... << 01 (ACK)", "... << 00 ... (8 ms)", "... == OK (8 ms)",
// with a "!!" line after something that went wrong. Local time.
std::string TraceText(const TraceRecord& record);

// One JSON object on one line, without the line end:
// {"time":"2026-05-04T12:03:07.251Z","port":"Com1","event":"answer","direction":"in",
//  "bytes":"00 ...","duration_ms":8,"result":0,"text":"OK"}; a result adds "refused",
// "unit_error" and "warning". UTC.
std::string TraceJson(const TraceRecord& record);

}  // namespace kelcmd::app
