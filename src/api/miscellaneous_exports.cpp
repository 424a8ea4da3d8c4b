// The miscellaneous exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().Miscellaneous();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadSysTime(const char* portName, uint8_t slave, uint32_t* time) {
    return CallExport(Family(), portName, slave, "ReadSysTime", {}, {Out(time)});
}

KELCMD_API int32_t ReadSysTime(uint32_t* time) {
    return OnCurrentTarget(MP_ReadSysTime, time);
}

KELCMD_API int32_t MP_WaitTime(const char* portName, uint8_t slave, uint32_t time) {
    return CallExport(Family(), portName, slave, "WaitTime", {Value(time)}, {}, Timeout(time));
}

KELCMD_API int32_t WaitTime(uint32_t time) {
    return OnCurrentTarget(MP_WaitTime, time);
}

KELCMD_API int32_t MP_SetCurrent(const char* portName, uint8_t slave, int16_t current) {
    return CallExport(Family(), portName, slave, "SetCurrent", {Value(current)});
}

KELCMD_API int32_t SetCurrent(int16_t current) {
    return OnCurrentTarget(MP_SetCurrent, current);
}

KELCMD_API int32_t MP_ReadECStatus(const char* portName, uint8_t slave, uint8_t* status,
                                   uint8_t* temperatur) {
    return CallExport(Family(), portName, slave, "ReadECStatus", {},
                      {Out(status), Out(temperatur)});
}

KELCMD_API int32_t ReadECStatus(uint8_t* status, uint8_t* temperatur) {
    return OnCurrentTarget(MP_ReadECStatus, status, temperatur);
}

KELCMD_API int32_t MP_ReadMaxStack(const char* portName, uint8_t slave, uint16_t* stackLevel) {
    return CallExport(Family(), portName, slave, "ReadMaxStack", {}, {Out(stackLevel)});
}

KELCMD_API int32_t ReadMaxStack(uint16_t* stackLevel) {
    return OnCurrentTarget(MP_ReadMaxStack, stackLevel);
}

}  // extern "C"
