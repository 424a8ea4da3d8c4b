#include "command/thread_outcome.h"

#include <utility>

#include "command/kel_command.h"
#include "platform/line_errors.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"
#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

thread_local Outcome threadOutcome;

bool IsPortFailure(uint8_t result) {
    return result >= WIN_ERR_OPENCOMM && result <= WIN_ERR_CLOSECOMM;
}

// Only a failure of the port itself has an operating-system reason; any other result, or a call
// that never reached the port, would pick up an older, unrelated one.
Outcome WithSystemReason(Outcome outcome) {
    if (outcome.status == OutcomeStatus::kLineFailed && IsPortFailure(outcome.result)) {
        outcome.systemError = ThreadSystemError();
    }
    return outcome;
}

// Success means the unit ran the request; a refusal that it did not. A failure leaves it open
// once the unit was heard from: an acknowledge came, or an answer began.
bool MayHaveExecuted(OutcomeStatus status) {
    switch (status) {
        case OutcomeStatus::kSucceeded:
            return true;
        case OutcomeStatus::kLineFailed:
        case OutcomeStatus::kBadAnswer:
            return UnitMayHaveActed();
        default:
            return false;
    }
}

// The line errors the devices counted on this thread since the call began.
LineErrorCounts CallLineErrors() {
    const TtyCounters counts = TakeThreadLineErrors();
    return {counts.framing, counts.parity, counts.overruns, counts.breaks};
}

Outcome OutcomeOf(const CKelCommand& command, OutcomeStatus status, uint8_t result) {
    const CFrameExchange& exchange = command.Exchange();
    Outcome outcome;
    outcome.status = status;
    outcome.result = result;
    outcome.messageType = exchange.RequestType();
    outcome.batch = exchange.RequestType() == kBatchCode;
    outcome.trials = command.GetTrials();
    outcome.durationMs = command.GetEndTime() - command.GetStartTime();
    outcome.mayHaveExecuted = MayHaveExecuted(status);
    outcome.lineErrors = CallLineErrors();
    return outcome;
}

}  // namespace

const Outcome& ThreadOutcome() {
    return threadOutcome;
}

void RecordThreadOutcome(Outcome outcome) {
    threadOutcome = WithSystemReason(std::move(outcome));
}

void RecordStatusOutcome(OutcomeStatus status, uint8_t result) {
    Outcome outcome;
    outcome.status = status;
    outcome.result = result;
    RecordThreadOutcome(std::move(outcome));
}

void RecordNotSentOutcome(uint8_t result) {
    (void)TakeThreadLineErrors();  // a call starts here: what came before is not its own
    RecordStatusOutcome(OutcomeStatus::kNotSent, result);
}

void RecordInternalErrorOutcome() noexcept {
    threadOutcome = Outcome{};  // gives up a reason's text rather than allocate
    threadOutcome.status = OutcomeStatus::kInternalError;
    threadOutcome.result = NO_COMMAND;
}

void RecordCommandOutcome(const CKelCommand& command, OutcomeStatus status, uint8_t result) {
    RecordThreadOutcome(OutcomeOf(command, status, result));
}

void RecordRefusalOutcome(const CKelCommand& command, uint8_t reason, int16_t warning,
                          uint8_t reportedType) {
    Outcome outcome = OutcomeOf(command, OutcomeStatus::kRefused, RESULT_OK);
    outcome.messageType = reportedType;
    outcome.unitError = reason;
    outcome.unitWarning = warning;
    RecordThreadOutcome(std::move(outcome));
}

void RecordPacketOutcome(const CFrameExchange& exchange, uint8_t result, uint32_t durationMs) {
    Outcome outcome;
    outcome.status = result == RESULT_OK ? OutcomeStatus::kSucceeded : OutcomeStatus::kLineFailed;
    outcome.result = result;
    outcome.messageType = exchange.messageBuilt ? exchange.RequestType() : exchange.AnswerType();
    outcome.trials = exchange.trials;
    outcome.durationMs = durationMs;
    outcome.mayHaveExecuted = MayHaveExecuted(outcome.status);
    outcome.lineErrors = CallLineErrors();
    RecordThreadOutcome(std::move(outcome));
}

}  // namespace kelcmd
