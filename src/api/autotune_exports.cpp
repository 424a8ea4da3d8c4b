// The autotuning exports. They send the command only; the recording a test leaves is read by the
// dialogs (RunWithRecording) or by the host with the recorder commands.
#include "api/autotune_family.h"
#include "api/catalogue_call.h"
#include "api/current_target.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t MP_InitAutotune(const char* portName, uint8_t slave, uint8_t toTune,
                                   uint8_t startParam, uint8_t costFunction, uint8_t extent) {
    return CallCatalogue(&AutotuneFamily(), portName, slave, "InitAutotune",
                         {Value(toTune), Value(startParam), Value(costFunction), Value(extent)});
}

KELCMD_API int32_t MP_Autotune(const char* portName, uint8_t slave, int16_t* improveFactor) {
    return CallCatalogue(&AutotuneFamily(), portName, slave, "Autotune", {}, {Out(improveFactor)});
}

KELCMD_API int32_t MP_SquareCurrentTest(const char* portName, uint8_t slave, uint16_t jumpAmplitude,
                                        uint32_t timeout) {
    return CallCatalogue(&AutotuneFamily(), portName, slave, "SquareCurrentTest",
                         {Value(jumpAmplitude)}, {}, Timeout(timeout));
}

KELCMD_API int32_t MP_SetPWM(const char* portName, uint8_t slave, int16_t dutyCycle,
                             uint8_t stayInPWMmode) {
    return CallCatalogue(&AutotuneFamily(), portName, slave, "SetPWM",
                         {Value(dutyCycle), Value(stayInPWMmode)});
}

KELCMD_API int32_t InitAutotune(uint8_t toTune, uint8_t startParam, uint8_t costFunction,
                                uint8_t extent) {
    return MP_InitAutotune(CurrentPortName().c_str(), CurrentSlave(), toTune, startParam,
                           costFunction, extent);
}

KELCMD_API int32_t Autotune(int16_t* improveFactor) {
    return MP_Autotune(CurrentPortName().c_str(), CurrentSlave(), improveFactor);
}

KELCMD_API int32_t SquareCurrentTest(uint16_t jumpAmplitude, uint32_t timeout) {
    return MP_SquareCurrentTest(CurrentPortName().c_str(), CurrentSlave(), jumpAmplitude, timeout);
}

KELCMD_API int32_t SetPWM(int16_t dutyCycle, uint8_t stayInPWMmode) {
    return MP_SetPWM(CurrentPortName().c_str(), CurrentSlave(), dutyCycle, stayInPWMmode);
}

}  // extern "C"
