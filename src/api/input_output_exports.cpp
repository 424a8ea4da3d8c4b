// The input/output exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().InputOutput();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadInput(const char* portName, uint8_t slave, uint8_t inputNb,
                                uint8_t* state) {
    return CallExport(Family(), portName, slave, "ReadInput", {Value(inputNb)}, {Out(state)});
}

KELCMD_API int32_t ReadInput(uint8_t inputNb, uint8_t* state) {
    return OnCurrentTarget(MP_ReadInput, inputNb, state);
}

KELCMD_API int32_t MP_ReadInputByte(const char* portName, uint8_t slave, uint8_t portNb,
                                    uint8_t* state) {
    return CallExport(Family(), portName, slave, "ReadInputByte", {Value(portNb)}, {Out(state)});
}

KELCMD_API int32_t ReadInputByte(uint8_t portNb, uint8_t* state) {
    return OnCurrentTarget(MP_ReadInputByte, portNb, state);
}

KELCMD_API int32_t MP_WaitForInput(const char* portName, uint8_t slave, uint8_t inputNb,
                                   uint8_t state, uint32_t timeout) {
    return CallExport(Family(), portName, slave, "WaitForInput",
                      {Value(inputNb), Value(state), Value(timeout)}, {}, Timeout(timeout));
}

KELCMD_API int32_t WaitForInput(uint8_t inputNb, uint8_t state, uint32_t timeout) {
    return OnCurrentTarget(MP_WaitForInput, inputNb, state, timeout);
}

KELCMD_API int32_t MP_SetOutput(const char* portName, uint8_t slave, uint8_t outputNb,
                                uint8_t state) {
    return CallExport(Family(), portName, slave, "SetOutput", {Value(outputNb), Value(state)});
}

KELCMD_API int32_t SetOutput(uint8_t outputNb, uint8_t state) {
    return OnCurrentTarget(MP_SetOutput, outputNb, state);
}

KELCMD_API int32_t MP_SetOutputByte(const char* portName, uint8_t slave, uint8_t state) {
    return CallExport(Family(), portName, slave, "SetOutputByte", {Value(state)});
}

KELCMD_API int32_t SetOutputByte(uint8_t state) {
    return OnCurrentTarget(MP_SetOutputByte, state);
}

KELCMD_API int32_t MP_ReadAnalogInput(const char* portName, uint8_t slave, uint8_t channel,
                                      uint16_t* value) {
    return CallExport(Family(), portName, slave, "ReadAnalogInput", {Value(channel)}, {Out(value)});
}

KELCMD_API int32_t ReadAnalogInput(uint8_t channel, uint16_t* value) {
    return OnCurrentTarget(MP_ReadAnalogInput, channel, value);
}

KELCMD_API int32_t MP_SetUserPWM(const char* portName, uint8_t slave, int16_t dutycycle) {
    return CallExport(Family(), portName, slave, "SetUserPWM", {Value(dutycycle)});
}

KELCMD_API int32_t SetUserPWM(int16_t dutycycle) {
    return OnCurrentTarget(MP_SetUserPWM, dutycycle);
}

}  // extern "C"
