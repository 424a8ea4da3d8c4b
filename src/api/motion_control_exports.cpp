// The motion control exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().MotionControl();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_SetRegMode(const char* portName, uint8_t slave, uint8_t regmode) {
    return CallExport(Family(), portName, slave, "SetRegMode", {Value(regmode)});
}

KELCMD_API int32_t SetRegMode(uint8_t regmode) {
    return OnCurrentTarget(MP_SetRegMode, regmode);
}

KELCMD_API int32_t MP_SetProfile(const char* portName, uint8_t slave, uint8_t profiletype,
                                 float accel, float decel) {
    return CallExport(Family(), portName, slave, "SetProfile",
                      {Value(profiletype), Value(accel), Value(decel)});
}

KELCMD_API int32_t SetProfile(uint8_t profiletype, float accel, float decel) {
    return OnCurrentTarget(MP_SetProfile, profiletype, accel, decel);
}

KELCMD_API int32_t MP_SetPosVelocity(const char* portName, uint8_t slave, float posVelocity) {
    return CallExport(Family(), portName, slave, "SetPosVelocity", {Value(posVelocity)});
}

KELCMD_API int32_t SetPosVelocity(float posVelocity) {
    return OnCurrentTarget(MP_SetPosVelocity, posVelocity);
}

KELCMD_API int32_t MP_SetWaitMode(const char* portName, uint8_t slave, uint8_t waitMode) {
    return CallExport(Family(), portName, slave, "SetWaitMode", {Value(waitMode)});
}

KELCMD_API int32_t SetWaitMode(uint8_t waitMode) {
    return OnCurrentTarget(MP_SetWaitMode, waitMode);
}

KELCMD_API int32_t MP_MoveAbsolute(const char* portName, uint8_t slave, int32_t position,
                                   uint32_t timeout) {
    return CallExport(Family(), portName, slave, "MoveAbsolute", {Value(position)}, {},
                      Timeout(timeout));
}

KELCMD_API int32_t MoveAbsolute(int32_t position, uint32_t timeout) {
    return OnCurrentTarget(MP_MoveAbsolute, position, timeout);
}

KELCMD_API int32_t MP_MoveAbsoluteInfo(const char* portName, uint8_t slave, int32_t position,
                                       uint32_t timeout, uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "MoveAbsoluteInfo", {Value(position), Keep()},
                      {Out(flags), Out(duration)}, Timeout(timeout));
}

KELCMD_API int32_t MoveAbsoluteInfo(int32_t position, uint32_t timeout, uint8_t* flags,
                                    uint32_t* duration) {
    return OnCurrentTarget(MP_MoveAbsoluteInfo, position, timeout, flags, duration);
}

KELCMD_API int32_t MP_MoveRelative(const char* portName, uint8_t slave, int32_t relPosition,
                                   uint32_t timeout) {
    return CallExport(Family(), portName, slave, "MoveRelative", {Value(relPosition)}, {},
                      Timeout(timeout));
}

KELCMD_API int32_t MoveRelative(int32_t relPosition, uint32_t timeout) {
    return OnCurrentTarget(MP_MoveRelative, relPosition, timeout);
}

KELCMD_API int32_t MP_MoveRelativeInfo(const char* portName, uint8_t slave, int32_t relPosition,
                                       uint32_t timeout, uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "MoveRelativeInfo", {Value(relPosition), Keep()},
                      {Out(flags), Out(duration)}, Timeout(timeout));
}

KELCMD_API int32_t MoveRelativeInfo(int32_t relPosition, uint32_t timeout, uint8_t* flags,
                                    uint32_t* duration) {
    return OnCurrentTarget(MP_MoveRelativeInfo, relPosition, timeout, flags, duration);
}

KELCMD_API int32_t MP_WaitForTargetPos(const char* portName, uint8_t slave, uint32_t timeout) {
    return CallExport(Family(), portName, slave, "WaitForTargetPos", {Value(timeout)}, {},
                      Timeout(timeout));
}

KELCMD_API int32_t WaitForTargetPos(uint32_t timeout) {
    return OnCurrentTarget(MP_WaitForTargetPos, timeout);
}

KELCMD_API int32_t MP_SetVelocity(const char* portName, uint8_t slave, float velocity) {
    return CallExport(Family(), portName, slave, "SetVelocity", {Value(velocity)});
}

KELCMD_API int32_t SetVelocity(float velocity) {
    return OnCurrentTarget(MP_SetVelocity, velocity);
}

KELCMD_API int32_t MP_SetVelocityInfo(const char* portName, uint8_t slave, float velocity,
                                      uint8_t* flags, uint32_t* duration) {
    return CallExport(Family(), portName, slave, "SetVelocityInfo", {Value(velocity), Keep()},
                      {Out(flags), Out(duration)});
}

KELCMD_API int32_t SetVelocityInfo(float velocity, uint8_t* flags, uint32_t* duration) {
    return OnCurrentTarget(MP_SetVelocityInfo, velocity, flags, duration);
}

KELCMD_API int32_t MP_StopMotion(const char* portName, uint8_t slave, uint8_t stopMotion) {
    return CallExport(Family(), portName, slave, "StopMotion", {Value(stopMotion)});
}

KELCMD_API int32_t StopMotion(uint8_t stopMotion) {
    return OnCurrentTarget(MP_StopMotion, stopMotion);
}

KELCMD_API int32_t MP_FindHomeSys(const char* portName, uint8_t slave, uint32_t timeout) {
    return CallExport(Family(), portName, slave, "FindHomeSys", {Value(timeout)}, {},
                      Timeout(timeout));
}

KELCMD_API int32_t FindHomeSys(uint32_t timeout) {
    return OnCurrentTarget(MP_FindHomeSys, timeout);
}

KELCMD_API int32_t MP_FindHome(const char* portName, uint8_t slave, uint8_t hometype,
                               uint16_t current, float velocity, int32_t offset, uint32_t timeout) {
    return CallExport(
        Family(), portName, slave, "FindHome",
        {Value(hometype), Value(current), Value(velocity), Value(offset), Value(timeout)}, {},
        Timeout(timeout));
}

KELCMD_API int32_t FindHome(uint8_t hometype, uint16_t current, float velocity, int32_t offset,
                            uint32_t timeout) {
    return OnCurrentTarget(MP_FindHome, hometype, current, velocity, offset, timeout);
}

KELCMD_API int32_t MP_FindHomeEx(const char* portName, uint8_t slave, uint8_t hometype,
                                 uint16_t current, float velocity, int32_t offset, uint32_t timeout,
                                 int32_t homePosition) {
    return CallExport(Family(), portName, slave, "FindHomeEx",
                      {Value(hometype), Value(current), Value(velocity), Value(offset),
                       Value(timeout), Value(homePosition)},
                      {}, Timeout(timeout));
}

KELCMD_API int32_t FindHomeEx(uint8_t hometype, uint16_t current, float velocity, int32_t offset,
                              uint32_t timeout, int32_t homePosition) {
    return OnCurrentTarget(MP_FindHomeEx, hometype, current, velocity, offset, timeout,
                           homePosition);
}

KELCMD_API int32_t MP_FindIndex(const char* portName, uint8_t slave, float velocity,
                                uint32_t timeout) {
    return CallExport(Family(), portName, slave, "FindIndex", {Value(velocity), Value(timeout)}, {},
                      Timeout(timeout));
}

KELCMD_API int32_t FindIndex(float velocity, uint32_t timeout) {
    return OnCurrentTarget(MP_FindIndex, velocity, timeout);
}

KELCMD_API int32_t MP_DefinePosition(const char* portName, uint8_t slave, int32_t position) {
    return CallExport(Family(), portName, slave, "DefinePosition", {Value(position)});
}

KELCMD_API int32_t DefinePosition(int32_t position) {
    return OnCurrentTarget(MP_DefinePosition, position);
}

KELCMD_API int32_t MP_WaitForPosition(const char* portName, uint8_t slave, int32_t position,
                                      uint32_t timeout) {
    return CallExport(Family(), portName, slave, "WaitForPosition",
                      {Value(position), Value(timeout)}, {}, Timeout(timeout));
}

KELCMD_API int32_t WaitForPosition(int32_t position, uint32_t timeout) {
    return OnCurrentTarget(MP_WaitForPosition, position, timeout);
}

KELCMD_API int32_t MP_ReadIndexDistance(const char* portName, uint8_t slave, int32_t* distance) {
    return CallExport(Family(), portName, slave, "ReadIndexDistance", {}, {Out(distance)});
}

KELCMD_API int32_t ReadIndexDistance(int32_t* distance) {
    return OnCurrentTarget(MP_ReadIndexDistance, distance);
}

KELCMD_API int32_t MP_ReadProfile(const char* portName, uint8_t slave, uint8_t* profiletype,
                                  float* accel, float* decel, float* ceilVel) {
    return CallExport(Family(), portName, slave, "ReadProfile", {},
                      {Out(profiletype), Out(accel), Out(decel), Out(ceilVel)});
}

KELCMD_API int32_t ReadProfile(uint8_t* profiletype, float* accel, float* decel, float* ceilVel) {
    return OnCurrentTarget(MP_ReadProfile, profiletype, accel, decel, ceilVel);
}

}  // extern "C"
