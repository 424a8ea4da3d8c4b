// The multi-axes exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().MultiAxes();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_InitMoveAbsolute(const char* portName, uint8_t slave, int32_t position) {
    return CallExport(Family(), portName, slave, "InitMoveAbsolute", {Value(position)});
}

KELCMD_API int32_t InitMoveAbsolute(int32_t position) {
    return OnCurrentTarget(MP_InitMoveAbsolute, position);
}

KELCMD_API int32_t MP_InitMoveAbsoluteInfo(const char* portName, uint8_t slave, int32_t position,
                                           uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "InitMoveAbsoluteInfo", {Value(position), Keep()},
                      {Out(flags), Out(duration)});
}

KELCMD_API int32_t InitMoveAbsoluteInfo(int32_t position, uint8_t* flags, uint32_t* duration) {
    return OnCurrentTarget(MP_InitMoveAbsoluteInfo, position, flags, duration);
}

KELCMD_API int32_t MP_InitMoveRelative(const char* portName, uint8_t slave, int32_t relPosition) {
    return CallExport(Family(), portName, slave, "InitMoveRelative", {Value(relPosition)});
}

KELCMD_API int32_t InitMoveRelative(int32_t relPosition) {
    return OnCurrentTarget(MP_InitMoveRelative, relPosition);
}

KELCMD_API int32_t MP_InitMoveRelativeInfo(const char* portName, uint8_t slave, int32_t relPosition,
                                           uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "InitMoveRelativeInfo",
                      {Value(relPosition), Keep()}, {Out(flags), Out(duration)});
}

KELCMD_API int32_t InitMoveRelativeInfo(int32_t relPosition, uint8_t* flags, uint32_t* duration) {
    return OnCurrentTarget(MP_InitMoveRelativeInfo, relPosition, flags, duration);
}

KELCMD_API int32_t MP_InitSetVelocity(const char* portName, uint8_t slave, float velocity) {
    return CallExport(Family(), portName, slave, "InitSetVelocity", {Value(velocity)});
}

KELCMD_API int32_t InitSetVelocity(float velocity) {
    return OnCurrentTarget(MP_InitSetVelocity, velocity);
}

KELCMD_API int32_t MP_InitSetVelocityInfo(const char* portName, uint8_t slave, float velocity,
                                          uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "InitSetVelocityInfo", {Value(velocity), Keep()},
                      {Out(flags), Out(duration)});
}

KELCMD_API int32_t InitSetVelocityInfo(float velocity, uint8_t* flags, uint32_t* duration) {
    return OnCurrentTarget(MP_InitSetVelocityInfo, velocity, flags, duration);
}

KELCMD_API int32_t MP_StartMovement(const char* portName, uint8_t slave) {
    return CallExport(Family(), portName, slave, "StartMovement");
}

KELCMD_API int32_t StartMovement(void) {
    return OnCurrentTarget(MP_StartMovement);
}

}  // extern "C"
