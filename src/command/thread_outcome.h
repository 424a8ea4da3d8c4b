#pragma once

#include <cstdint>

#include "platform/system_error.h"

namespace kelcmd {

class CKelCommand;
struct CFrameExchange;

// How the calling thread's last command or packet function ended. The values are those of the
// KEB_OUTCOME_... constants of the C header.
enum class OutcomeStatus : uint32_t {
    kNone = 0,           // nothing has run on this thread yet
    kSucceeded = 1,      // the exchange went through and the unit did what was asked
    kStacked = 2,        // added to the thread's command stack; nothing sent yet
    kNotSent = 3,        // stopped before the line: an argument, no such port, the reservation
    kLineFailed = 4,     // the transfer failed: `result` says how
    kRefused = 5,        // the unit refused: `unitError` is its reason, 0 being CMD_FAIL
    kBadAnswer = 6,      // an answer without every value it must carry (BAD_LEN)
    kInternalError = 7,  // the library itself failed (out of memory)
};

// Errors the line's device counted during one call (a tty's kernel counters); zero elsewhere.
struct LineErrorCounts {
    uint32_t framing = 0;
    uint32_t parity = 0;
    uint32_t overruns = 0;
    uint32_t breaks = 0;
};

// The judged end of one call. A refusal keeps the unit's reason apart from the transfer's result,
// so that CMD_FAIL (0) never reads as success.
struct Outcome {
    OutcomeStatus status = OutcomeStatus::kNone;
    uint8_t result = 0;       // communication result code of the transfer
    uint8_t messageType = 0;  // the request's; a failed batch's failing member
    bool batch = false;
    uint8_t unitError = 0;
    int16_t unitWarning = 0;
    uint32_t trials = 0;  // receptions of the answer, more than 1 after resend requests
    uint32_t durationMs = 0;
    SystemError systemError;  // only after a failure of the port itself
    // The unit executed the request or may have: it acknowledged, or an answer began.
    bool mayHaveExecuted = false;
    LineErrorCounts lineErrors;  // counted by the device during the call
};

// The calling thread's record; each thread sees only its own.
const Outcome& ThreadOutcome();
void RecordThreadOutcome(Outcome outcome);

// An outcome that carries only its status and result code.
void RecordStatusOutcome(OutcomeStatus status, uint8_t result);
// Nothing reached the line. A call records this first, so that one stopping early leaves it.
void RecordNotSentOutcome(uint8_t result);
// The library failed inside the call (an exception reached its guard).
void RecordInternalErrorOutcome() noexcept;

// The record of `command` after its exchange (status, code, trials and times taken from it).
void RecordCommandOutcome(const CKelCommand& command, OutcomeStatus status, uint8_t result);
// A refusal: the unit's reason and warning, and the code the failure is reported for.
void RecordRefusalOutcome(const CKelCommand& command, uint8_t reason, int16_t warning,
                          uint8_t reportedType);
// A raw packet's transmission or reception that ran on the line for `durationMs`.
void RecordPacketOutcome(const CFrameExchange& exchange, uint8_t result, uint32_t durationMs);

}  // namespace kelcmd
