#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "api/current_target.h"
#include "command/thread_outcome.h"
#include "transport/result_codes.h"

namespace kelcmd {

class CCommandFamily;

// The one guard of the C exports: nothing thrown inside an export (a failed allocation, a bug)
// unwinds into the C caller. Every export's whole body runs inside Guarded, directly or through
// one of the helpers below (the test EveryExportGoesThroughTheGuard fails when one does not). An
// exception becomes the export's failure value:
//   - command exports (32-bit 1/0): 0, and the port's error callback hears
//     (command code, NO_COMMAND, 0, 0) when the port and its callback can be found;
//   - bus-level exports (8-bit result codes): the code of the step that failed, WIN_ERR_OPENCOMM
//     for opening, WIN_ERR_CLOSECOMM for closing, WIN_ERR_WRITECOMM for sending and
//     WIN_ERR_READCOMM for receiving a packet;
//   - the other exports: 0, or nothing for those without a result.

// Throws std::bad_alloc inside the guard when a test armed a fault on this thread.
void ThrowArmedExportFault();

// Makes this thread's next guarded call throw std::bad_alloc inside its guard, as a failed
// allocation would (false disarms). The outermost guard of a call takes the fault. For tests; not
// exported from the shared library.
void SetExportFaultForTesting(bool armed);

// The failure handler that reports nothing.
struct NoFailureReport {
    void operator()() const noexcept {}
};

// `body`'s result, or `failure` (after `onFailure`) when it threw.
template <class Failure, class Body, class OnFailure = NoFailureReport>
std::invoke_result_t<Body&> Guarded(Failure failure, Body&& body,
                                    OnFailure onFailure = {}) noexcept {
    try {
        ThrowArmedExportFault();
        return body();
    } catch (...) {
        onFailure();
        return failure;
    }
}

// An export without a result: an exception only ends it.
template <class Body>
void Guarded(Body&& body) noexcept {
    Guarded(0, [&] {
        body();
        return 0;
    });
}

// Tells the error callback of `port` (found regardless of letter case) that `command` of `family`
// failed inside the library: (the command's code, NO_COMMAND, 0, 0). NO_COMMAND because no
// answer of a unit and no transfer step is to blame. Nothing when the port, its callback or even
// the report itself fails.
void ReportInternalFailure(const CCommandFamily& family, const char* port,
                           std::string_view command) noexcept;

// A command export's guard: 0 on an exception, which the port's error callback hears. The
// thread's outcome starts as "not sent", so that a call refused before the line says so.
template <class Body>
int32_t GuardedCommand(const CCommandFamily& family, const char* port, std::string_view command,
                       Body&& body) noexcept {
    return Guarded(
        int32_t{0},
        [&] {
            RecordNotSentOutcome(NO_COMMAND);
            return body();
        },
        [&] { ReportInternalFailure(family, port, command); });
}

// The body of a plain export: its MP_ form on the current port and slave, with the port name
// built inside the guard.
//   return OnCurrentTarget(MP_MoveAbsolute, position, timeout);
template <class Result, class... Params, class... Args>
Result OnCurrentTarget(Result (*multiPortForm)(const char*, uint8_t, Params...),
                       Args... args) noexcept {
    return Guarded(Result{0}, [&] {
        return multiPortForm(CurrentPortName().c_str(), CurrentSlave(), args...);
    });
}
template <class... Params, class... Args>
void OnCurrentTarget(void (*multiPortForm)(const char*, uint8_t, Params...),
                     Args... args) noexcept {
    Guarded([&] { multiPortForm(CurrentPortName().c_str(), CurrentSlave(), args...); });
}

}  // namespace kelcmd
