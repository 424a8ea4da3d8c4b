#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelcmd {

// What happened on a bus, one event per thing on the wire, and one closing result per exchange.
enum class BusEventKind : uint8_t {
    kRequest,        // a request frame left, whole, with its CRC
    kAcknowledge,    // the unit's acknowledge byte arrived; `result` says what it meant
    kAnswer,         // an answer frame arrived (with its CRC), good or damaged
    kResendRequest,  // the host asked the unit to send its damaged answer again
    kPurge,          // bytes that came while the line had to stay quiet were dropped
    kTimeout,        // an acknowledge or answer did not come (whole) in time
    kResult,         // the exchange is over: its judged result
};

enum class BusDirection : uint8_t { kOut, kIn, kNone };

struct BusEvent {
    BusEventKind kind = BusEventKind::kRequest;
    BusDirection direction = BusDirection::kNone;
    uint64_t timeNs = 0;  // monotonic clock (MonotonicNanoseconds) when the bytes left or came
    // Time from the start of the exchange (its first transmission) to this event.
    uint64_t elapsedNs = 0;
    uint64_t exchange = 0;  // the events of one exchange share this number, unique in the process
    std::string port;
    // A frame's bytes as on the wire, CRC included; the acknowledge byte; what a purge dropped;
    // what arrived of an answer before its timeout.
    std::vector<uint8_t> bytes;
    // A transport result code (0 = good): for an acknowledge XMT_ERR_CRC (the unit asks for the
    // frame again) or XMT_ERR_ACK (not an acknowledge); for an answer RCV_ERR_CRC, RCV_ERR_ID or
    // RCV_ERR_LENGTH; for a timeout the wait that ran out; for a request a failed write; for the
    // result the exchange's transport result.
    uint8_t result = 0;

    // The judgement of the unit's answer, in the result of a command's exchange only. A refusal
    // is told apart from success by `refused`, since its reason CMD_FAIL is 0.
    bool refused = false;
    uint8_t unitError = 0;     // the refusal reason
    int16_t warning = 0;       // carried in the last two data bytes of a refusal
    uint8_t failedMember = 0;  // the message type of a batch's member that failed (BATCH_FAIL)
    uint32_t trials = 0;       // receptions of the answer (more than 1 after resend requests)
};

// "request", "acknowledge", "answer", "resend", "purge", "timeout", "result".
const char* BusEventKindName(BusEventKind kind);
// "out", "in", or "" for the result.
const char* BusDirectionName(BusDirection direction);
// What the event meant, in words: "ACK", "NAK: the unit asks for the frame again", "OK", a
// result code's text, "refused: CMD_FAIL ...; <warning>" for a unit's refusal.
std::string BusEventText(const BusEvent& event);

}  // namespace kelcmd
