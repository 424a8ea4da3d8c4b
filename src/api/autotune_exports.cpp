// The autotuning exports. They send the command only; the recording a test leaves is read by the
// dialogs (RunWithRecording) or by the host with the recorder commands.
#include "api/autotune_family.h"
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t MP_InitAutotune(const char* portName, uint8_t slave, uint8_t toTune,
                                   uint8_t startParam, uint8_t costFunction, uint8_t extent) {
    return CallExport(AutotuneFamily(), portName, slave, "InitAutotune",
                      {Value(toTune), Value(startParam), Value(costFunction), Value(extent)});
}

KELCMD_API int32_t MP_Autotune(const char* portName, uint8_t slave, int16_t* improveFactor) {
    return CallExport(AutotuneFamily(), portName, slave, "Autotune", {}, {Out(improveFactor)});
}

KELCMD_API int32_t MP_SquareCurrentTest(const char* portName, uint8_t slave, uint16_t jumpAmplitude,
                                        uint32_t timeout) {
    return CallExport(AutotuneFamily(), portName, slave, "SquareCurrentTest",
                      {Value(jumpAmplitude)}, {}, Timeout(timeout));
}

KELCMD_API int32_t MP_SetPWM(const char* portName, uint8_t slave, int16_t dutyCycle,
                             uint8_t stayInPWMmode) {
    return CallExport(AutotuneFamily(), portName, slave, "SetPWM",
                      {Value(dutyCycle), Value(stayInPWMmode)});
}

KELCMD_API int32_t InitAutotune(uint8_t toTune, uint8_t startParam, uint8_t costFunction,
                                uint8_t extent) {
    return OnCurrentTarget(MP_InitAutotune, toTune, startParam, costFunction, extent);
}

KELCMD_API int32_t Autotune(int16_t* improveFactor) {
    return OnCurrentTarget(MP_Autotune, improveFactor);
}

KELCMD_API int32_t SquareCurrentTest(uint16_t jumpAmplitude, uint32_t timeout) {
    return OnCurrentTarget(MP_SquareCurrentTest, jumpAmplitude, timeout);
}

KELCMD_API int32_t SetPWM(int16_t dutyCycle, uint8_t stayInPWMmode) {
    return OnCurrentTarget(MP_SetPWM, dutyCycle, stayInPWMmode);
}

}  // extern "C"
