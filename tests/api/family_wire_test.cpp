// Every catalogue export of the motion, status, multi-axes, exception, miscellaneous and
// input/output families on the wire: the request's mtype and its data bytes, in order and width,
// through the MP_ form and through the plain form.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "family_test_support.h"
#include "kelcmd/kelcmd.h"
#include "support/remote_bus.h"

namespace kelcmd {
namespace {

using testing::AnswerCodes;
using testing::CurrentTarget;
using testing::RemoteBus;
using testing::Requests;
using testing::SimPort;
using testing::Target;

struct WireCase {
    const char* command;
    std::function<int32_t(const Target&)> call;
    uint8_t mtype;
    std::vector<uint8_t> data;
};

// Out-variables the calls may write; their values do not matter here.
uint8_t byteOut;
uint16_t wordOut;
int16_t intOut, intOut2;
uint32_t lwordOut;
int32_t lintOut, lintOut2;
float floatOut, floatOut2, floatOut3;

std::vector<WireCase> MotionControlCases() {
    return {
        {"SetRegMode",
         [](const Target& t) {
             return t.multiPort ? MP_SetRegMode(t.port, t.slave, 3) : SetRegMode(3);
         },
         32,
         {0x03}},
        {"SetProfile",
         [](const Target& t) {
             return t.multiPort ? MP_SetProfile(t.port, t.slave, 2, 0.5f, 0.5f)
                                : SetProfile(2, 0.5f, 0.5f);
         },
         33,
         {0x02, 0x3F, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00}},
        {"SetPosVelocity",
         [](const Target& t) {
             return t.multiPort ? MP_SetPosVelocity(t.port, t.slave, -1.5f) : SetPosVelocity(-1.5f);
         },
         34,
         {0xBF, 0xC0, 0x00, 0x00}},
        {"SetWaitMode",
         [](const Target& t) {
             return t.multiPort ? MP_SetWaitMode(t.port, t.slave, 1) : SetWaitMode(1);
         },
         35,
         {0x01}},
        {"MoveAbsolute",
         [](const Target& t) {
             return t.multiPort ? MP_MoveAbsolute(t.port, t.slave, 1000, 5000)
                                : MoveAbsolute(1000, 5000);
         },
         36,
         {0x00, 0x00, 0x03, 0xE8}},
        // The option byte is the prototype's, 0.
        {"MoveAbsoluteInfo",
         [](const Target& t) {
             return t.multiPort
                        ? MP_MoveAbsoluteInfo(t.port, t.slave, -2, 3000, &byteOut, &lwordOut)
                        : MoveAbsoluteInfo(-2, 3000, &byteOut, &lwordOut);
         },
         36,
         {0xFF, 0xFF, 0xFF, 0xFE, 0x00}},
        {"MoveRelative",
         [](const Target& t) {
             return t.multiPort ? MP_MoveRelative(t.port, t.slave, 0x01020304, 4000)
                                : MoveRelative(0x01020304, 4000);
         },
         37,
         {0x01, 0x02, 0x03, 0x04}},
        {"MoveRelativeInfo",
         [](const Target& t) {
             return t.multiPort
                        ? MP_MoveRelativeInfo(t.port, t.slave, -500, 4000, &byteOut, &lwordOut)
                        : MoveRelativeInfo(-500, 4000, &byteOut, &lwordOut);
         },
         37,
         {0xFF, 0xFF, 0xFE, 0x0C, 0x00}},
        {"WaitForTargetPos",
         [](const Target& t) {
             return t.multiPort ? MP_WaitForTargetPos(t.port, t.slave, 20000)
                                : WaitForTargetPos(20000);
         },
         38,
         {0x00, 0x00, 0x4E, 0x20}},
        {"SetVelocity",
         [](const Target& t) {
             return t.multiPort ? MP_SetVelocity(t.port, t.slave, 2.0f) : SetVelocity(2.0f);
         },
         39,
         {0x40, 0x00, 0x00, 0x00}},
        {"SetVelocityInfo",
         [](const Target& t) {
             return t.multiPort ? MP_SetVelocityInfo(t.port, t.slave, -2.0f, &byteOut, &lwordOut)
                                : SetVelocityInfo(-2.0f, &byteOut, &lwordOut);
         },
         39,
         {0xC0, 0x00, 0x00, 0x00, 0x00}},
        {"StopMotion",
         [](const Target& t) {
             return t.multiPort ? MP_StopMotion(t.port, t.slave, 1) : StopMotion(1);
         },
         40,
         {0x01}},
        {"FindHomeSys",
         [](const Target& t) {
             return t.multiPort ? MP_FindHomeSys(t.port, t.slave, 0xABCDEF) : FindHomeSys(0xABCDEF);
         },
         41,
         {0x00, 0xAB, 0xCD, 0xEF}},
        // hometype (1), current (2), velocity (4), offset (4), timeout (4): 15 bytes.
        {"FindHome",
         [](const Target& t) {
             return t.multiPort ? MP_FindHome(t.port, t.slave, 3, 0x1234, 2.0f, -2, 20000)
                                : FindHome(3, 0x1234, 2.0f, -2, 20000);
         },
         42,
         {0x03, 0x12, 0x34, 0x40, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x00, 0x4E,
          0x20}},
        // ... and homePosition (4): 19 bytes, no padding.
        {"FindHomeEx",
         [](const Target& t) {
             return t.multiPort
                        ? MP_FindHomeEx(t.port, t.slave, 3, 0x1234, 2.0f, -2, 20000, 0x01020304)
                        : FindHomeEx(3, 0x1234, 2.0f, -2, 20000, 0x01020304);
         },
         42,
         {0x03, 0x12, 0x34, 0x40, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x00, 0x4E, 0x20,
          0x01, 0x02, 0x03, 0x04}},
        {"FindIndex",
         [](const Target& t) {
             return t.multiPort ? MP_FindIndex(t.port, t.slave, 0.25f, 7000)
                                : FindIndex(0.25f, 7000);
         },
         43,
         {0x3E, 0x80, 0x00, 0x00, 0x00, 0x00, 0x1B, 0x58}},
        {"DefinePosition",
         [](const Target& t) {
             return t.multiPort ? MP_DefinePosition(t.port, t.slave, -1) : DefinePosition(-1);
         },
         44,
         {0xFF, 0xFF, 0xFF, 0xFF}},
        {"WaitForPosition",
         [](const Target& t) {
             return t.multiPort ? MP_WaitForPosition(t.port, t.slave, 0x7FFFFFFF, 600)
                                : WaitForPosition(0x7FFFFFFF, 600);
         },
         45,
         {0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x58}},
        {"ReadIndexDistance",
         [](const Target& t) {
             return t.multiPort ? MP_ReadIndexDistance(t.port, t.slave, &lintOut)
                                : ReadIndexDistance(&lintOut);
         },
         46,
         {}},
        {"ReadProfile",
         [](const Target& t) {
             return t.multiPort ? MP_ReadProfile(t.port, t.slave, &byteOut, &floatOut, &floatOut2,
                                                 &floatOut3)
                                : ReadProfile(&byteOut, &floatOut, &floatOut2, &floatOut3);
         },
         47,
         {}},
    };
}

std::vector<WireCase> MotionInfoAndStatusCases() {
    return {
        {"ReadPosition",
         [](const Target& t) {
             return t.multiPort ? MP_ReadPosition(t.port, t.slave, &lintOut)
                                : ReadPosition(&lintOut);
         },
         48,
         {}},
        {"ReadPositionMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadPositionMust(t.port, t.slave, &lintOut)
                                : ReadPositionMust(&lintOut);
         },
         49,
         {}},
        {"ReadPositionIsMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadPositionIsMust(t.port, t.slave, &lintOut, &lintOut2)
                                : ReadPositionIsMust(&lintOut, &lintOut2);
         },
         50,
         {}},
        {"ReadVelocity",
         [](const Target& t) {
             return t.multiPort ? MP_ReadVelocity(t.port, t.slave, &floatOut)
                                : ReadVelocity(&floatOut);
         },
         51,
         {}},
        {"ReadVelocityMean",
         [](const Target& t) {
             return t.multiPort ? MP_ReadVelocityMean(t.port, t.slave, &floatOut)
                                : ReadVelocityMean(&floatOut);
         },
         52,
         {}},
        {"ReadVelocityMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadVelocityMust(t.port, t.slave, &floatOut)
                                : ReadVelocityMust(&floatOut);
         },
         53,
         {}},
        {"ReadVelocityIsMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadVelocityIsMust(t.port, t.slave, &floatOut, &floatOut2)
                                : ReadVelocityIsMust(&floatOut, &floatOut2);
         },
         54,
         {}},
        {"ReadCurrent",
         [](const Target& t) {
             return t.multiPort ? MP_ReadCurrent(t.port, t.slave, &intOut) : ReadCurrent(&intOut);
         },
         55,
         {}},
        {"ReadCurrentMean",
         [](const Target& t) {
             return t.multiPort ? MP_ReadCurrentMean(t.port, t.slave, &intOut)
                                : ReadCurrentMean(&intOut);
         },
         56,
         {}},
        {"ReadCurrentMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadCurrentMust(t.port, t.slave, &intOut)
                                : ReadCurrentMust(&intOut);
         },
         57,
         {}},
        {"ReadCurrentIsMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadCurrentIsMust(t.port, t.slave, &intOut, &intOut2)
                                : ReadCurrentIsMust(&intOut, &intOut2);
         },
         58,
         {}},
        {"ReadPosVelCur",
         [](const Target& t) {
             return t.multiPort ? MP_ReadPosVelCur(t.port, t.slave, &lintOut, &floatOut, &intOut)
                                : ReadPosVelCur(&lintOut, &floatOut, &intOut);
         },
         59,
         {}},
        {"ReadPosVelCurMean",
         [](const Target& t) {
             return t.multiPort
                        ? MP_ReadPosVelCurMean(t.port, t.slave, &lintOut, &floatOut, &intOut)
                        : ReadPosVelCurMean(&lintOut, &floatOut, &intOut);
         },
         60,
         {}},
        {"ReadPosVelCurMust",
         [](const Target& t) {
             return t.multiPort
                        ? MP_ReadPosVelCurMust(t.port, t.slave, &lintOut, &floatOut, &intOut)
                        : ReadPosVelCurMust(&lintOut, &floatOut, &intOut);
         },
         61,
         {}},
        {"ReadPosVelCurIsMust",
         [](const Target& t) {
             return t.multiPort ? MP_ReadPosVelCurIsMust(t.port, t.slave, &lintOut, &floatOut,
                                                         &intOut, &lintOut2, &floatOut2, &intOut2)
                                : ReadPosVelCurIsMust(&lintOut, &floatOut, &intOut, &lintOut2,
                                                      &floatOut2, &intOut2);
         },
         62,
         {}},
        {"ReadAxisInfo",
         [](const Target& t) {
             return t.multiPort
                        ? MP_ReadAxisInfo(t.port, t.slave, &wordOut, &byteOut, &byteOut, &lintOut,
                                          &floatOut, &intOut)
                        : ReadAxisInfo(&wordOut, &byteOut, &byteOut, &lintOut, &floatOut, &intOut);
         },
         63,
         {}},
        {"ReadAxisStatus",
         [](const Target& t) {
             return t.multiPort ? MP_ReadAxisStatus(t.port, t.slave, &wordOut)
                                : ReadAxisStatus(&wordOut);
         },
         11,
         {}},
        {"ReadError",
         [](const Target& t) {
             return t.multiPort ? MP_ReadError(t.port, t.slave, &intOut) : ReadError(&intOut);
         },
         12,
         {}},
        {"ClearError",
         [](const Target& t) {
             return t.multiPort ? MP_ClearError(t.port, t.slave) : ClearError();
         },
         13,
         {}},
        {"ReadWarning",
         [](const Target& t) {
             return t.multiPort ? MP_ReadWarning(t.port, t.slave, &intOut) : ReadWarning(&intOut);
         },
         14,
         {}},
        {"ClearWarning",
         [](const Target& t) {
             return t.multiPort ? MP_ClearWarning(t.port, t.slave) : ClearWarning();
         },
         15,
         {}},
    };
}

std::vector<WireCase> MultiAxesAndExceptionCases() {
    return {
        {"InitMoveAbsolute",
         [](const Target& t) {
             return t.multiPort ? MP_InitMoveAbsolute(t.port, t.slave, 100000)
                                : InitMoveAbsolute(100000);
         },
         80,
         {0x00, 0x01, 0x86, 0xA0}},
        {"InitMoveAbsoluteInfo",
         [](const Target& t) {
             return t.multiPort
                        ? MP_InitMoveAbsoluteInfo(t.port, t.slave, -100000, &byteOut, &lwordOut)
                        : InitMoveAbsoluteInfo(-100000, &byteOut, &lwordOut);
         },
         80,
         {0xFF, 0xFE, 0x79, 0x60, 0x00}},
        {"InitMoveRelative",
         [](const Target& t) {
             return t.multiPort ? MP_InitMoveRelative(t.port, t.slave, -500)
                                : InitMoveRelative(-500);
         },
         81,
         {0xFF, 0xFF, 0xFE, 0x0C}},
        {"InitMoveRelativeInfo",
         [](const Target& t) {
             return t.multiPort ? MP_InitMoveRelativeInfo(t.port, t.slave, 500, &byteOut, &lwordOut)
                                : InitMoveRelativeInfo(500, &byteOut, &lwordOut);
         },
         81,
         {0x00, 0x00, 0x01, 0xF4, 0x00}},
        {"InitSetVelocity",
         [](const Target& t) {
             return t.multiPort ? MP_InitSetVelocity(t.port, t.slave, 1.0f) : InitSetVelocity(1.0f);
         },
         82,
         {0x3F, 0x80, 0x00, 0x00}},
        {"InitSetVelocityInfo",
         [](const Target& t) {
             return t.multiPort
                        ? MP_InitSetVelocityInfo(t.port, t.slave, -1.0f, &byteOut, &lwordOut)
                        : InitSetVelocityInfo(-1.0f, &byteOut, &lwordOut);
         },
         82,
         {0xBF, 0x80, 0x00, 0x00, 0x00}},
        {"StartMovement",
         [](const Target& t) {
             return t.multiPort ? MP_StartMovement(t.port, t.slave) : StartMovement();
         },
         83,
         {}},
        {"ResetSlave",
         [](const Target& t) {
             return t.multiPort ? MP_ResetSlave(t.port, t.slave, 2) : ResetSlave(2);
         },
         8,
         {0x02}},
        {"HaltFunction",
         [](const Target& t) {
             return t.multiPort ? MP_HaltFunction(t.port, t.slave) : HaltFunction();
         },
         9,
         {}},
        {"BrakeFunction",
         [](const Target& t) {
             return t.multiPort ? MP_BrakeFunction(t.port, t.slave) : BrakeFunction();
         },
         10,
         {}},
    };
}

std::vector<WireCase> MiscellaneousAndInputOutputCases() {
    return {
        {"ReadSysTime",
         [](const Target& t) {
             return t.multiPort ? MP_ReadSysTime(t.port, t.slave, &lwordOut)
                                : ReadSysTime(&lwordOut);
         },
         71,
         {}},
        {"WaitTime",
         [](const Target& t) {
             return t.multiPort ? MP_WaitTime(t.port, t.slave, 0) : WaitTime(0);
         },
         72,
         {0x00, 0x00, 0x00, 0x00}},
        {"SetCurrent",
         [](const Target& t) {
             return t.multiPort ? MP_SetCurrent(t.port, t.slave, -300) : SetCurrent(-300);
         },
         73,
         {0xFE, 0xD4}},
        {"ReadECStatus",
         [](const Target& t) {
             return t.multiPort ? MP_ReadECStatus(t.port, t.slave, &byteOut, &byteOut)
                                : ReadECStatus(&byteOut, &byteOut);
         },
         74,
         {}},
        {"ReadMaxStack",
         [](const Target& t) {
             return t.multiPort ? MP_ReadMaxStack(t.port, t.slave, &wordOut)
                                : ReadMaxStack(&wordOut);
         },
         79,
         {}},
        {"ReadInput",
         [](const Target& t) {
             return t.multiPort ? MP_ReadInput(t.port, t.slave, 12, &byteOut)
                                : ReadInput(12, &byteOut);
         },
         64,
         {0x0C}},
        {"ReadInputByte",
         [](const Target& t) {
             return t.multiPort ? MP_ReadInputByte(t.port, t.slave, 1, &byteOut)
                                : ReadInputByte(1, &byteOut);
         },
         65,
         {0x01}},
        {"WaitForInput",
         [](const Target& t) {
             return t.multiPort ? MP_WaitForInput(t.port, t.slave, 3, 1, 20000)
                                : WaitForInput(3, 1, 20000);
         },
         66,
         {0x03, 0x01, 0x00, 0x00, 0x4E, 0x20}},
        {"SetOutput",
         [](const Target& t) {
             return t.multiPort ? MP_SetOutput(t.port, t.slave, 6, 1) : SetOutput(6, 1);
         },
         67,
         {0x06, 0x01}},
        {"SetOutputByte",
         [](const Target& t) {
             return t.multiPort ? MP_SetOutputByte(t.port, t.slave, 0x21) : SetOutputByte(0x21);
         },
         68,
         {0x21}},
        {"ReadAnalogInput",
         [](const Target& t) {
             return t.multiPort ? MP_ReadAnalogInput(t.port, t.slave, 3, &wordOut)
                                : ReadAnalogInput(3, &wordOut);
         },
         69,
         {0x03}},
        {"SetUserPWM",
         [](const Target& t) {
             return t.multiPort ? MP_SetUserPWM(t.port, t.slave, 750) : SetUserPWM(750);
         },
         70,
         {0x02, 0xEE}},
    };
}

// Each case through both forms, on slave 5 of a port opened as "Com41": the MP_ form names the
// port in lower case, which execution accepts. With `remote`, Com41 is a remote bus whose bridge
// owns the simulated units on Com42: the same bytes must reach the wire.
void ExpectRequests(const std::vector<WireCase>& cases, bool remote = false) {
    std::unique_ptr<RemoteBus> bridge;
    if (remote) {
        bridge = std::make_unique<RemoteBus>("Com41", "Com42");
        ASSERT_EQ(bridge->openResult, 0);
    }
    for (const bool multiPort : {true, false}) {
        for (const WireCase& c : cases) {
            SCOPED_TRACE(std::string(c.command) + (multiPort ? " (MP_)" : " (plain)"));
            SimPort port(remote ? 42 : 41, "5");
            ASSERT_EQ(port.openResult, 0);
            // Every code answers at once, with more data than any command reads.
            AnswerCodes(port.Unit(5), 8, 83, std::vector<uint8_t>(32, 0));
            CurrentTarget current("Com41", 5);
            EXPECT_EQ(c.call(Target{multiPort, "com41", 5}), 1);
            const auto requests = Requests(port);
            ASSERT_EQ(requests.size(), 1u);
            EXPECT_EQ(requests[0].dest, 5);
            EXPECT_EQ(requests[0].mtype, c.mtype);
            EXPECT_EQ(requests[0].data, c.data);
        }
    }
}

TEST(FamilyWire, MotionControl) {
    ExpectRequests(MotionControlCases());
}
TEST(FamilyWire, MotionInfoAndStatus) {
    ExpectRequests(MotionInfoAndStatusCases());
}
TEST(FamilyWire, MultiAxesAndException) {
    ExpectRequests(MultiAxesAndExceptionCases());
}
TEST(FamilyWire, MiscellaneousAndInputOutput) {
    ExpectRequests(MiscellaneousAndInputOutputCases());
}

TEST(FamilyWire, EveryFamilyThroughARemoteBus) {
    for (const auto& cases : {MotionControlCases(), MotionInfoAndStatusCases(),
                              MultiAxesAndExceptionCases(), MiscellaneousAndInputOutputCases()}) {
        ExpectRequests(cases, true);
    }
}

}  // namespace
}  // namespace kelcmd
