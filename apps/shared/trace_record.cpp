#include "trace_record.h"

#include <ctime>

namespace kelcmd::app {
namespace {

using std::chrono::system_clock;

// "14:03:07.251" (local) or "2026-05-04T12:03:07.251Z" (UTC).
std::string ClockText(system_clock::time_point time, bool utc) {
    const std::time_t seconds = system_clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()) % 1000;
    std::tm parts{};
    if (utc) {
        gmtime_r(&seconds, &parts);
    } else {
        localtime_r(&seconds, &parts);
    }
    char text[40];
    const size_t length =
        std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%S" : "%H:%M:%S", &parts);
    std::snprintf(text + length, sizeof text - length, utc ? ".%03dZ" : ".%03d",
                  static_cast<int>(millis.count()));
    return text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

std::string TraceText(const TraceRecord& record) {
    const std::string head = ClockText(record.time, false) + " " + record.port;
    const std::string after = " (" + std::to_string(record.durationMs) + " ms)";
    const std::string problem = "\n" + head + " !! " + record.text;
    if (record.event == "request") {
        return head + " >> " + record.hex + (record.result == 0 ? "" : problem);
    }
    if (record.event == "resend") {
        return head + " >> " + record.hex + " (resend request)" +
               (record.result == 0 ? "" : problem);
    }
    if (record.event == "acknowledge") return head + " << " + record.hex + " (" + record.text + ")";
    if (record.event == "answer") {
        return head + " << " + record.hex + after + (record.result == 0 ? "" : problem);
    }
    if (record.event == "purge") return head + " << " + record.hex + " (" + record.text + ")";
    if (record.event == "timeout") {
        const std::string cut = record.hex.empty() ? "" : head + " << " + record.hex + "\n";
        return cut + head + " !! " + record.text + " (after " + std::to_string(record.durationMs) +
               " ms)";
    }
    return head + " == " + record.text + after;
}

std::string TraceJson(const TraceRecord& record) {
    std::string json =
        "{\"time\":" + JsonString(ClockText(record.time, true)) +
        ",\"port\":" + JsonString(record.port) + ",\"event\":" + JsonString(record.event) +
        ",\"direction\":" + JsonString(record.direction) + ",\"bytes\":" + JsonString(record.hex) +
        ",\"duration_ms\":" + std::to_string(record.durationMs) +
        ",\"result\":" + std::to_string(record.result) + ",\"text\":" + JsonString(record.text);
    if (record.event == "result") {
        json += std::string(",\"refused\":") + (record.refused ? "true" : "false") +
                ",\"unit_error\":" + std::to_string(record.unitError) +
                ",\"warning\":" + std::to_string(record.warning);
    }
    return json + "}";
}

}  // namespace kelcmd::app
