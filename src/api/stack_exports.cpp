// The command stack exports: collect a thread's commands for a port and slave, send them as one
// batch, send them quietly and read the quiet results back.
#include <string>

#include "api/communication.h"
#include "api/current_target.h"
#include "api/export_guard.h"
#include "command/command_stack.h"
#include "command/kel_batch_command.h"
#include "kelcmd/kelcmd.h"
#include "transport/result_codes.h"

using namespace kelcmd;

namespace {

// A port name that is absent matches no stack entry.
std::string PortOf(const char* portName) {
    return portName != nullptr ? std::string(portName) : std::string();
}

// An exception ends the batch with 0; the error callback hears nothing, as no single command of
// the stack is to blame.
int32_t ExecuteStack(const char* portName, uint8_t slave, uint32_t type) {
    return Guarded(
        0,
        [&] {
            RecordNotSentOutcome(NO_COMMAND);
            if (portName == nullptr) return 0;
            return ProcessCommandStack().ExecuteBatch(portName, slave, type);
        },
        [] { RecordInternalErrorOutcome(); });
}

}  // namespace

extern "C" {

KELCMD_API void MP_StartStackingCommands(const char* portName, uint8_t slave) {
    Guarded([&] {
        if (portName == nullptr) return;
        ProcessCommandStack().Start(PortOf(portName), slave);
    });
}

KELCMD_API int32_t MP_StopStackingCommands(const char* portName, uint8_t slave) {
    return Guarded(0, [&] {
        if (portName == nullptr) return 0;
        return ProcessCommandStack().Stop(PortOf(portName), slave);
    });
}

KELCMD_API int32_t MP_ExecuteCommandStack(const char* portName, uint8_t slave) {
    return ExecuteStack(portName, slave, BATCH_NORMAL);
}

KELCMD_API int32_t MP_ExecuteQuietCommandStack(const char* portName, uint8_t slave) {
    return ExecuteStack(portName, slave, BATCH_QUIET_SEND);
}

KELCMD_API int32_t MP_ReadLastQuietCommandStack(const char* portName, uint8_t slave) {
    return ExecuteStack(portName, slave, BATCH_QUIET_READ);
}

KELCMD_API void StartStackingCommands(void) {
    OnCurrentTarget(MP_StartStackingCommands);
}

KELCMD_API int32_t StopStackingCommands(void) {
    return OnCurrentTarget(MP_StopStackingCommands);
}

KELCMD_API int32_t ExecuteCommandStack(void) {
    return OnCurrentTarget(MP_ExecuteCommandStack);
}

KELCMD_API int32_t ExecuteQuietCommandStack(void) {
    return OnCurrentTarget(MP_ExecuteQuietCommandStack);
}

KELCMD_API int32_t ReadLastQuietCommandStack(void) {
    return OnCurrentTarget(MP_ReadLastQuietCommandStack);
}

}  // extern "C"
