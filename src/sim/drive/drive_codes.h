#pragma once

#include <cstdint>

namespace kelcmd::sim::drive {

// The command codes a positioning drive runs (the request's mtype).
enum Code : uint8_t {
    kResetSlave = 8,
    kHaltFunction = 9,
    kBrakeFunction = 10,
    kReadAxisStatus = 11,
    kReadError = 12,
    kClearError = 13,
    kReadWarning = 14,
    kClearWarning = 15,
    kSetRegMode = 32,
    kSetProfile = 33,
    kSetPosVelocity = 34,
    kSetWaitMode = 35,
    kMoveAbsolute = 36,
    kMoveRelative = 37,
    kWaitForTargetPos = 38,
    kSetVelocity = 39,
    kStopMotion = 40,
    kFindHomeSys = 41,
    kFindHome = 42,
    kFindIndex = 43,
    kDefinePosition = 44,
    kWaitForPosition = 45,
    kReadIndexDistance = 46,
    kReadProfile = 47,
    kReadPosition = 48,
    kReadPositionMust = 49,
    kReadPositionIsMust = 50,
    kReadVelocity = 51,
    kReadVelocityMean = 52,
    kReadVelocityMust = 53,
    kReadVelocityIsMust = 54,
    kReadCurrent = 55,
    kReadCurrentMean = 56,
    kReadCurrentMust = 57,
    kReadCurrentIsMust = 58,
    kReadPosVelCur = 59,
    kReadPosVelCurMean = 60,
    kReadPosVelCurMust = 61,
    kReadPosVelCurIsMust = 62,
    kReadAxisInfo = 63,
    kReadInput = 64,
    kReadInputByte = 65,
    kWaitForInput = 66,
    kSetOutput = 67,
    kSetOutputByte = 68,
    kReadAnalogInput = 69,
    kSetUserPwm = 70,
    kReadSysTime = 71,
    kWaitTime = 72,
    kSetCurrent = 73,
    kReadEcStatus = 74,
    kReadMaxStack = 79,
    kInitMoveAbsolute = 80,
    kInitMoveRelative = 81,
    kInitSetVelocity = 82,
    kStartMovement = 83,
};

// Bits of the axis status word.
enum StatusBit : uint16_t {
    kStatusMoving = 1 << 0,
    kStatusCteVel = 1 << 1,
    kStatusSinus = 1 << 2,
    kStatusVelMode = 1 << 3,
    kStatusCmdActive = 1 << 4,
    kStatusWaitEnd = 1 << 5,
    kStatusLoLimit = 1 << 6,
    kStatusHiLimit = 1 << 7,
    kStatusError = 1 << 8,
    kStatusWarning = 1 << 9,
    kStatusCurReg = 1 << 10,
    kStatusPosReg = 1 << 11,
    kStatusReferenced = 1 << 12,
    kStatusHome = 1 << 13,
    kStatusRight = 1 << 14,
    kStatusLeft = 1 << 15,
};

// The unit's error numbers (its error register).
enum UnitError : uint16_t {
    kNoError = 0,
    kErrorDigOvld = 10,
    kErrorLeft = 21,
    kErrorRight = 22,
    kErrorHome = 23,
    kErrorAmpDisab = 24,
    kErrorIndex = 25,
    kErrorStop = 40,
    kErrorHalt = 42,
    kErrorBrake = 43,
};

// Regulation modes.
enum RegMode : uint8_t {
    kRegOff = 0,
    kRegCurrent = 1,
    kRegPosition = 2,
    kRegFollowEncoder = 3,
};

// Input numbers: 1 to 8 are the user inputs, 9 to 15 the predefined ones.
enum InputNumber : uint8_t {
    kFirstUserInput = 1,
    kLastUserInput = 8,
    kInputEnable = 9,
    kInputLeft = 10,
    kInputRight = 11,
    kInputHome = 12,
    kInputEncIndex = 13,
    kInputStop = 14,
    kInputDigOvld = 15,
};

constexpr uint8_t kOutputCount = 6;
constexpr uint8_t kAnalogChannels = 4;

}  // namespace kelcmd::sim::drive
