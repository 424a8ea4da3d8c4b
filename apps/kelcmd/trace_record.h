#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kelcmd::app {

// One frame on the line as the trace reports it, or the end of an exchange that failed after
// its answer arrived (no bytes).
struct TraceRecord {
    enum class Direction { kRequest, kAnswer, kEnd };

    std::chrono::system_clock::time_point time;  // when the frame left or arrived
    std::string port;
    Direction direction = Direction::kRequest;
    std::string hex;  // "01 EC 05 ..."; empty for kEnd
    // Milliseconds from the request to this record's outcome: for a request the wait for its
    // first answer or its failure, for an answer the round trip.
    uint32_t durationMs = 0;
    uint32_t result = 0;  // communication result code, 0 OK
    std::string text;     // "OK", or the result's text with the unit's warning or system reason
};

// "14:03:07.251 Com1 << 00 ... (8 ms)", and a "!!" line after a failed one. Local time.
std::string TraceText(const TraceRecord& record);

// One JSON object on one line, without the line end:
// {"time":"2026-05-04T12:03:07.251Z","port":"Com1","direction":"answer","bytes":"00 ...",
//  "duration_ms":8,"result":0,"text":"OK"}. UTC.
std::string TraceJson(const TraceRecord& record);

}  // namespace kelcmd::app
