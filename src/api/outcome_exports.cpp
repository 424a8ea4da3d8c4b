// The extra export that tells how the calling thread's last call ended.
#include <cstring>

#include "api/export_guard.h"
#include "api/unit_texts.h"
#include "command/thread_outcome.h"
#include "kelcmd/kelcmd.h"
#include "platform/system_error.h"

using namespace kelcmd;

extern "C" {

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
        CopyTruncated(DescribeSystemError(last.systemError), outcome->systemErrorText,
                      sizeof outcome->systemErrorText);
        return 1;
    });
}

}  // extern "C"
