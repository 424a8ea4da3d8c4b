// The status exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().Status();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadAxisStatus(const char* portName, uint8_t slave, uint16_t* status) {
    return CallExport(Family(), portName, slave, "ReadAxisStatus", {}, {Out(status)});
}

KELCMD_API int32_t ReadAxisStatus(uint16_t* status) {
    return OnCurrentTarget(MP_ReadAxisStatus, status);
}

KELCMD_API int32_t MP_ReadError(const char* portName, uint8_t slave, int16_t* error) {
    return CallExport(Family(), portName, slave, "ReadError", {}, {Out(error)});
}

KELCMD_API int32_t ReadError(int16_t* error) {
    return OnCurrentTarget(MP_ReadError, error);
}

KELCMD_API int32_t MP_ClearError(const char* portName, uint8_t slave) {
    return CallExport(Family(), portName, slave, "ClearError");
}

KELCMD_API int32_t ClearError(void) {
    return OnCurrentTarget(MP_ClearError);
}

KELCMD_API int32_t MP_ReadWarning(const char* portName, uint8_t slave, int16_t* warning) {
    return CallExport(Family(), portName, slave, "ReadWarning", {}, {Out(warning)});
}

KELCMD_API int32_t ReadWarning(int16_t* warning) {
    return OnCurrentTarget(MP_ReadWarning, warning);
}

KELCMD_API int32_t MP_ClearWarning(const char* portName, uint8_t slave) {
    return CallExport(Family(), portName, slave, "ClearWarning");
}

KELCMD_API int32_t ClearWarning(void) {
    return OnCurrentTarget(MP_ClearWarning);
}

}  // extern "C"
