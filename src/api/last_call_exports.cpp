// The extra exports that tell how the calling thread's last call ended: its outcome, and the
// operating system's reason of a failed open or I/O.
#include <cstring>

#include "api/export_guard.h"
#include "api/unit_texts.h"
#include "command/thread_outcome.h"
#include "kelcmd/kelcmd.h"
#include "platform/system_error.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t KEB_GetLastSystemError(int32_t* errorNumber, char* text, uint32_t textSize) {
    return Guarded(0, [&] {
        const SystemError& error = ThreadSystemError();
        if (errorNumber != nullptr) *errorNumber = error.number;
        // A text longer than the buffer is cut; the buffer always ends with the terminator.
        if (text != nullptr && textSize > 0)
            CopyTruncated(DescribeSystemError(error), text, textSize);
        return error.number != 0 ? 1 : 0;
    });
}

KELCMD_API int32_t KEB_GetLastOutcome(KebOutcome* outcome) {
    return Guarded(0, [&] {
        // The size comes first so that the struct can grow: an older caller's smaller struct is
        // refused rather than overrun.
        if (outcome == nullptr || outcome->size < sizeof(KebOutcome)) return 0;
        const Outcome& last = ThreadOutcome();
        const uint32_t size = outcome->size;
        std::memset(outcome, 0, sizeof(KebOutcome));
        outcome->size = size;
        outcome->status = static_cast<uint32_t>(last.status);
        outcome->result = last.result;
        outcome->messageType = last.messageType;
        outcome->batch = last.batch ? 1 : 0;
        outcome->unitError = last.unitError;
        outcome->unitWarning = last.unitWarning;
        outcome->trials = last.trials;
        outcome->durationMs = last.durationMs;
        outcome->systemErrorNumber = last.systemError.number;
        // A fixed field: a long device path loses its middle, so that the reason stays whole.
        CopyTruncated(DescribeSystemError(last.systemError, sizeof outcome->systemErrorText - 1),
                      outcome->systemErrorText, sizeof outcome->systemErrorText);
        outcome->mayHaveExecuted = last.mayHaveExecuted ? 1 : 0;
        outcome->lineFramingErrors = last.lineErrors.framing;
        outcome->lineParityErrors = last.lineErrors.parity;
        outcome->lineOverruns = last.lineErrors.overruns;
        outcome->lineBreaks = last.lineErrors.breaks;
        return 1;
    });
}

}  // extern "C"
