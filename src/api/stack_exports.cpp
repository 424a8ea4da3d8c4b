// The command stack exports: collect a thread's commands for a port and slave, send them as one
// batch, send them quietly and read the quiet results back.
#include <string>

#include "api/communication.h"
#include "api/current_target.h"
#include "command/command_stack.h"
#include "command/kel_batch_command.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

// A port name that is absent matches no stack entry.
std::string PortOf(const char* portName) {
    return portName != nullptr ? std::string(portName) : std::string();
}

int32_t ExecuteStack(const char* portName, uint8_t slave, uint32_t type) {
    if (portName == nullptr) return 0;
    return ProcessCommandStack().ExecuteBatch(portName, slave, type);
}

}  // namespace

extern "C" {

KELCMD_API void MP_StartStackingCommands(const char* portName, uint8_t slave) {
    if (portName == nullptr) return;
    ProcessCommandStack().Start(PortOf(portName), slave);
}

KELCMD_API int32_t MP_StopStackingCommands(const char* portName, uint8_t slave) {
    if (portName == nullptr) return 0;
    return ProcessCommandStack().Stop(PortOf(portName), slave);
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
    MP_StartStackingCommands(CurrentPortName().c_str(), CurrentSlave());
}

KELCMD_API int32_t StopStackingCommands(void) {
    return MP_StopStackingCommands(CurrentPortName().c_str(), CurrentSlave());
}

KELCMD_API int32_t ExecuteCommandStack(void) {
    return MP_ExecuteCommandStack(CurrentPortName().c_str(), CurrentSlave());
}

KELCMD_API int32_t ExecuteQuietCommandStack(void) {
    return MP_ExecuteQuietCommandStack(CurrentPortName().c_str(), CurrentSlave());
}

KELCMD_API int32_t ReadLastQuietCommandStack(void) {
    return MP_ReadLastQuietCommandStack(CurrentPortName().c_str(), CurrentSlave());
}

}  // extern "C"
