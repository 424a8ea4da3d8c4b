#include "frame_trace.h"

#include "hex.h"
#include "platform/clock.h"
#include "system_reason.h"
#include "transport/frame.h"

namespace kelcmd::app {
namespace {

constexpr uint64_t kNanosPerMilli = 1000000;

// The text the tap gives, with the system's reason of a failure of the port itself.
std::string EventText(const BusEvent& event) {
    if (event.kind != BusEventKind::kAcknowledge && IsPortFailure(event.result)) {
        return ResultTextWithReason(event.result);
    }
    return BusEventText(event);
}

}  // namespace

std::string RequestHex(const CKelCommand& command) {
    return HexBytes(FrameWireBytes(command.GetMessageBuffer(), command.GetMessageLength()));
}

TraceRecord RecordOf(const BusEvent& event, std::chrono::system_clock::time_point wallAtStart,
                     uint64_t monotonicAtStart) {
    TraceRecord record;
    record.time = wallAtStart + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                    std::chrono::nanoseconds(event.timeNs - monotonicAtStart));
    record.port = event.port;
    record.event = BusEventKindName(event.kind);
    record.direction = BusDirectionName(event.direction);
    record.hex = HexBytes(event.bytes);
    record.durationMs = static_cast<uint32_t>(event.elapsedNs / kNanosPerMilli);
    record.result = event.result;
    record.text = EventText(event);
    record.refused = event.refused;
    record.unitError = event.unitError;
    record.warning = event.warning;
    return record;
}

FrameTrace::FrameTrace(const std::string& port, std::FILE* text, std::FILE* json)
    : text_(text),
      json_(json),
      wallAtStart_(std::chrono::system_clock::now()),
      monotonicAtStart_(MonotonicNanoseconds()),
      subscription_(
          port, TapSubscription::kDefaultCapacity, [this](const BusEvent& event) { Report(event); },
          TapSubscription::Delivery::kInCaller) {}

void FrameTrace::Report(const BusEvent& event) {
    const TraceRecord record = RecordOf(event, wallAtStart_, monotonicAtStart_);
    if (text_ != nullptr) {
        std::string lines = TraceText(record);
        for (size_t end = lines.find('\n'); end != std::string::npos; end = lines.find('\n', end)) {
            lines.insert(end + 1, "  ");
            end += 3;
        }
        std::fprintf(text_, "  %s\n", lines.c_str());
        std::fflush(text_);
    }
    if (json_ != nullptr) {
        std::fprintf(json_, "%s\n", TraceJson(record).c_str());
        std::fflush(json_);
    }
}

}  // namespace kelcmd::app
