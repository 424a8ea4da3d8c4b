// The exception exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().Exception();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ResetSlave(const char* portName, uint8_t slave, uint8_t bootmode) {
    return CallExport(Family(), portName, slave, "ResetSlave", {Value(bootmode)});
}

KELCMD_API int32_t ResetSlave(uint8_t bootmode) {
    return OnCurrentTarget(MP_ResetSlave, bootmode);
}

KELCMD_API int32_t MP_HaltFunction(const char* portName, uint8_t slave) {
    return CallExport(Family(), portName, slave, "HaltFunction");
}

KELCMD_API int32_t HaltFunction(void) {
    return OnCurrentTarget(MP_HaltFunction);
}

KELCMD_API int32_t MP_BrakeFunction(const char* portName, uint8_t slave) {
    return CallExport(Family(), portName, slave, "BrakeFunction");
}

KELCMD_API int32_t BrakeFunction(void) {
    return OnCurrentTarget(MP_BrakeFunction);
}

}  // extern "C"
