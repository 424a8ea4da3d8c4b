// The motion info exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/export_guard.h"
#include "api/families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

CCommandFamily& Family() noexcept {
    return Families().MotionInfo();
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadPosition(const char* portName, uint8_t slave, int32_t* positionIs) {
    return CallExport(Family(), portName, slave, "ReadPosition", {}, {Out(positionIs)});
}

KELCMD_API int32_t ReadPosition(int32_t* positionIs) {
    return OnCurrentTarget(MP_ReadPosition, positionIs);
}

KELCMD_API int32_t MP_ReadPositionMust(const char* portName, uint8_t slave, int32_t* positionMust) {
    return CallExport(Family(), portName, slave, "ReadPositionMust", {}, {Out(positionMust)});
}

KELCMD_API int32_t ReadPositionMust(int32_t* positionMust) {
    return OnCurrentTarget(MP_ReadPositionMust, positionMust);
}

KELCMD_API int32_t MP_ReadPositionIsMust(const char* portName, uint8_t slave, int32_t* positionIs,
                                         int32_t* positionMust) {
    return CallExport(Family(), portName, slave, "ReadPositionIsMust", {},
                      {Out(positionIs), Out(positionMust)});
}

KELCMD_API int32_t ReadPositionIsMust(int32_t* positionIs, int32_t* positionMust) {
    return OnCurrentTarget(MP_ReadPositionIsMust, positionIs, positionMust);
}

KELCMD_API int32_t MP_ReadVelocity(const char* portName, uint8_t slave, float* velocityIs) {
    return CallExport(Family(), portName, slave, "ReadVelocity", {}, {Out(velocityIs)});
}

KELCMD_API int32_t ReadVelocity(float* velocityIs) {
    return OnCurrentTarget(MP_ReadVelocity, velocityIs);
}

KELCMD_API int32_t MP_ReadVelocityMean(const char* portName, uint8_t slave, float* velocityMean) {
    return CallExport(Family(), portName, slave, "ReadVelocityMean", {}, {Out(velocityMean)});
}

KELCMD_API int32_t ReadVelocityMean(float* velocityMean) {
    return OnCurrentTarget(MP_ReadVelocityMean, velocityMean);
}

KELCMD_API int32_t MP_ReadVelocityMust(const char* portName, uint8_t slave, float* velocityMust) {
    return CallExport(Family(), portName, slave, "ReadVelocityMust", {}, {Out(velocityMust)});
}

KELCMD_API int32_t ReadVelocityMust(float* velocityMust) {
    return OnCurrentTarget(MP_ReadVelocityMust, velocityMust);
}

KELCMD_API int32_t MP_ReadVelocityIsMust(const char* portName, uint8_t slave, float* velocityIs,
                                         float* velocityMust) {
    return CallExport(Family(), portName, slave, "ReadVelocityIsMust", {},
                      {Out(velocityIs), Out(velocityMust)});
}

KELCMD_API int32_t ReadVelocityIsMust(float* velocityIs, float* velocityMust) {
    return OnCurrentTarget(MP_ReadVelocityIsMust, velocityIs, velocityMust);
}

KELCMD_API int32_t MP_ReadCurrent(const char* portName, uint8_t slave, int16_t* currentIs) {
    return CallExport(Family(), portName, slave, "ReadCurrent", {}, {Out(currentIs)});
}

KELCMD_API int32_t ReadCurrent(int16_t* currentIs) {
    return OnCurrentTarget(MP_ReadCurrent, currentIs);
}

KELCMD_API int32_t MP_ReadCurrentMean(const char* portName, uint8_t slave, int16_t* currentMean) {
    return CallExport(Family(), portName, slave, "ReadCurrentMean", {}, {Out(currentMean)});
}

KELCMD_API int32_t ReadCurrentMean(int16_t* currentMean) {
    return OnCurrentTarget(MP_ReadCurrentMean, currentMean);
}

KELCMD_API int32_t MP_ReadCurrentMust(const char* portName, uint8_t slave, int16_t* currentMust) {
    return CallExport(Family(), portName, slave, "ReadCurrentMust", {}, {Out(currentMust)});
}

KELCMD_API int32_t ReadCurrentMust(int16_t* currentMust) {
    return OnCurrentTarget(MP_ReadCurrentMust, currentMust);
}

KELCMD_API int32_t MP_ReadCurrentIsMust(const char* portName, uint8_t slave, int16_t* currentIs,
                                        int16_t* currentMust) {
    return CallExport(Family(), portName, slave, "ReadCurrentIsMust", {},
                      {Out(currentIs), Out(currentMust)});
}

KELCMD_API int32_t ReadCurrentIsMust(int16_t* currentIs, int16_t* currentMust) {
    return OnCurrentTarget(MP_ReadCurrentIsMust, currentIs, currentMust);
}

KELCMD_API int32_t MP_ReadPosVelCur(const char* portName, uint8_t slave, int32_t* positionIs,
                                    float* velocityIs, int16_t* currentIs) {
    return CallExport(Family(), portName, slave, "ReadPosVelCur", {},
                      {Out(positionIs), Out(velocityIs), Out(currentIs)});
}

KELCMD_API int32_t ReadPosVelCur(int32_t* positionIs, float* velocityIs, int16_t* currentIs) {
    return OnCurrentTarget(MP_ReadPosVelCur, positionIs, velocityIs, currentIs);
}

KELCMD_API int32_t MP_ReadPosVelCurMean(const char* portName, uint8_t slave, int32_t* positionIs,
                                        float* velocityMean, int16_t* currentMean) {
    return CallExport(Family(), portName, slave, "ReadPosVelCurMean", {},
                      {Out(positionIs), Out(velocityMean), Out(currentMean)});
}

KELCMD_API int32_t ReadPosVelCurMean(int32_t* positionIs, float* velocityMean,
                                     int16_t* currentMean) {
    return OnCurrentTarget(MP_ReadPosVelCurMean, positionIs, velocityMean, currentMean);
}

KELCMD_API int32_t MP_ReadPosVelCurMust(const char* portName, uint8_t slave, int32_t* positionMust,
                                        float* velocityMust, int16_t* currentMust) {
    return CallExport(Family(), portName, slave, "ReadPosVelCurMust", {},
                      {Out(positionMust), Out(velocityMust), Out(currentMust)});
}

KELCMD_API int32_t ReadPosVelCurMust(int32_t* positionMust, float* velocityMust,
                                     int16_t* currentMust) {
    return OnCurrentTarget(MP_ReadPosVelCurMust, positionMust, velocityMust, currentMust);
}

KELCMD_API int32_t MP_ReadPosVelCurIsMust(const char* portName, uint8_t slave, int32_t* positionIs,
                                          float* velocityIs, int16_t* currentIs,
                                          int32_t* positionMust, float* velocityMust,
                                          int16_t* currentMust) {
    return CallExport(Family(), portName, slave, "ReadPosVelCurIsMust", {},
                      {Out(positionIs), Out(velocityIs), Out(currentIs), Out(positionMust),
                       Out(velocityMust), Out(currentMust)});
}

KELCMD_API int32_t ReadPosVelCurIsMust(int32_t* positionIs, float* velocityIs, int16_t* currentIs,
                                       int32_t* positionMust, float* velocityMust,
                                       int16_t* currentMust) {
    return OnCurrentTarget(MP_ReadPosVelCurIsMust, positionIs, velocityIs, currentIs, positionMust,
                           velocityMust, currentMust);
}

KELCMD_API int32_t MP_ReadAxisInfo(const char* portName, uint8_t slave, uint16_t* status,
                                   uint8_t* userInputs, uint8_t* predefinedInputs,
                                   int32_t* positionIs, float* velocityMean, int16_t* currentMean) {
    return CallExport(Family(), portName, slave, "ReadAxisInfo", {},
                      {Out(status), Out(userInputs), Out(predefinedInputs), Out(positionIs),
                       Out(velocityMean), Out(currentMean)});
}

KELCMD_API int32_t ReadAxisInfo(uint16_t* status, uint8_t* userInputs, uint8_t* predefinedInputs,
                                int32_t* positionIs, float* velocityMean, int16_t* currentMean) {
    return OnCurrentTarget(MP_ReadAxisInfo, status, userInputs, predefinedInputs, positionIs,
                           velocityMean, currentMean);
}

}  // extern "C"
