// What the family exports do with answers: each out-variable receives exactly its parameter's
// width and nothing around it changes; nothing is written on a refusal; the PC waits as long as the
// caller's timeout says; bad targets fail before anything is sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <numeric>
#include <vector>

#include "family_test_support.h"
#include "kelcmd/kelcmd.h"
#include "sim/fault.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::CurrentTarget;
using testing::Requests;
using testing::SimPort;
using testing::Target;

constexpr uint8_t kGuard = 0xA5;

// The out-variables of one call in one block: variable i at Offset(i), every other byte a guard.
struct GuardedOuts {
    GuardedOuts() { bytes.fill(kGuard); }
    static constexpr size_t Offset(size_t i) { return 8 + 16 * i; }
    template <class T>
    T* At(size_t i) {
        return reinterpret_cast<T*>(bytes.data() + Offset(i));
    }
    alignas(16) std::array<uint8_t, 128> bytes;
};

struct AnswerCase {
    const char* command;
    uint8_t code;
    std::vector<size_t> widths;  // of the return parameters, in order
    std::function<int32_t(const Target&, GuardedOuts&)> call;
};

std::vector<AnswerCase> AnswerCases() {
    using O = GuardedOuts;
    using T = Target;
    return {
        {"MoveAbsoluteInfo",
         36,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_MoveAbsoluteInfo(t.port, t.slave, 1, 500, o.At<uint8_t>(0),
                                                      o.At<uint32_t>(1))
                                : MoveAbsoluteInfo(1, 500, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"MoveRelativeInfo",
         37,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_MoveRelativeInfo(t.port, t.slave, 1, 500, o.At<uint8_t>(0),
                                                      o.At<uint32_t>(1))
                                : MoveRelativeInfo(1, 500, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"SetVelocityInfo",
         39,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_SetVelocityInfo(t.port, t.slave, 1.0f, o.At<uint8_t>(0),
                                                     o.At<uint32_t>(1))
                                : SetVelocityInfo(1.0f, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"ReadIndexDistance",
         46,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadIndexDistance(t.port, t.slave, o.At<int32_t>(0))
                                : ReadIndexDistance(o.At<int32_t>(0));
         }},
        {"ReadProfile",
         47,
         {1, 4, 4, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadProfile(t.port, t.slave, o.At<uint8_t>(0), o.At<float>(1),
                                                 o.At<float>(2), o.At<float>(3))
                                : ReadProfile(o.At<uint8_t>(0), o.At<float>(1), o.At<float>(2),
                                              o.At<float>(3));
         }},
        {"ReadPosition",
         48,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadPosition(t.port, t.slave, o.At<int32_t>(0))
                                : ReadPosition(o.At<int32_t>(0));
         }},
        {"ReadPositionMust",
         49,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadPositionMust(t.port, t.slave, o.At<int32_t>(0))
                                : ReadPositionMust(o.At<int32_t>(0));
         }},
        {"ReadPositionIsMust",
         50,
         {4, 4},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadPositionIsMust(t.port, t.slave, o.At<int32_t>(0), o.At<int32_t>(1))
                        : ReadPositionIsMust(o.At<int32_t>(0), o.At<int32_t>(1));
         }},
        {"ReadVelocity",
         51,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadVelocity(t.port, t.slave, o.At<float>(0))
                                : ReadVelocity(o.At<float>(0));
         }},
        {"ReadVelocityMean",
         52,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadVelocityMean(t.port, t.slave, o.At<float>(0))
                                : ReadVelocityMean(o.At<float>(0));
         }},
        {"ReadVelocityMust",
         53,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadVelocityMust(t.port, t.slave, o.At<float>(0))
                                : ReadVelocityMust(o.At<float>(0));
         }},
        {"ReadVelocityIsMust",
         54,
         {4, 4},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadVelocityIsMust(t.port, t.slave, o.At<float>(0), o.At<float>(1))
                        : ReadVelocityIsMust(o.At<float>(0), o.At<float>(1));
         }},
        {"ReadCurrent",
         55,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadCurrent(t.port, t.slave, o.At<int16_t>(0))
                                : ReadCurrent(o.At<int16_t>(0));
         }},
        {"ReadCurrentMean",
         56,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadCurrentMean(t.port, t.slave, o.At<int16_t>(0))
                                : ReadCurrentMean(o.At<int16_t>(0));
         }},
        {"ReadCurrentMust",
         57,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadCurrentMust(t.port, t.slave, o.At<int16_t>(0))
                                : ReadCurrentMust(o.At<int16_t>(0));
         }},
        {"ReadCurrentIsMust",
         58,
         {2, 2},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadCurrentIsMust(t.port, t.slave, o.At<int16_t>(0), o.At<int16_t>(1))
                        : ReadCurrentIsMust(o.At<int16_t>(0), o.At<int16_t>(1));
         }},
        {"ReadPosVelCur",
         59,
         {4, 4, 2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadPosVelCur(t.port, t.slave, o.At<int32_t>(0),
                                                   o.At<float>(1), o.At<int16_t>(2))
                                : ReadPosVelCur(o.At<int32_t>(0), o.At<float>(1), o.At<int16_t>(2));
         }},
        {"ReadPosVelCurMean",
         60,
         {4, 4, 2},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadPosVelCurMean(t.port, t.slave, o.At<int32_t>(0), o.At<float>(1),
                                               o.At<int16_t>(2))
                        : ReadPosVelCurMean(o.At<int32_t>(0), o.At<float>(1), o.At<int16_t>(2));
         }},
        {"ReadPosVelCurMust",
         61,
         {4, 4, 2},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadPosVelCurMust(t.port, t.slave, o.At<int32_t>(0), o.At<float>(1),
                                               o.At<int16_t>(2))
                        : ReadPosVelCurMust(o.At<int32_t>(0), o.At<float>(1), o.At<int16_t>(2));
         }},
        {"ReadPosVelCurIsMust",
         62,
         {4, 4, 2, 4, 4, 2},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadPosVelCurIsMust(t.port, t.slave, o.At<int32_t>(0), o.At<float>(1),
                                                 o.At<int16_t>(2), o.At<int32_t>(3), o.At<float>(4),
                                                 o.At<int16_t>(5))
                        : ReadPosVelCurIsMust(o.At<int32_t>(0), o.At<float>(1), o.At<int16_t>(2),
                                              o.At<int32_t>(3), o.At<float>(4), o.At<int16_t>(5));
         }},
        {"ReadAxisInfo",
         63,
         {2, 1, 1, 4, 4, 2},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadAxisInfo(t.port, t.slave, o.At<uint16_t>(0), o.At<uint8_t>(1),
                                          o.At<uint8_t>(2), o.At<int32_t>(3), o.At<float>(4),
                                          o.At<int16_t>(5))
                        : ReadAxisInfo(o.At<uint16_t>(0), o.At<uint8_t>(1), o.At<uint8_t>(2),
                                       o.At<int32_t>(3), o.At<float>(4), o.At<int16_t>(5));
         }},
        {"ReadAxisStatus",
         11,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadAxisStatus(t.port, t.slave, o.At<uint16_t>(0))
                                : ReadAxisStatus(o.At<uint16_t>(0));
         }},
        {"ReadError",
         12,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadError(t.port, t.slave, o.At<int16_t>(0))
                                : ReadError(o.At<int16_t>(0));
         }},
        {"ReadWarning",
         14,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadWarning(t.port, t.slave, o.At<int16_t>(0))
                                : ReadWarning(o.At<int16_t>(0));
         }},
        {"InitMoveAbsoluteInfo",
         80,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_InitMoveAbsoluteInfo(t.port, t.slave, 1, o.At<uint8_t>(0),
                                                          o.At<uint32_t>(1))
                                : InitMoveAbsoluteInfo(1, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"InitMoveRelativeInfo",
         81,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_InitMoveRelativeInfo(t.port, t.slave, 1, o.At<uint8_t>(0),
                                                          o.At<uint32_t>(1))
                                : InitMoveRelativeInfo(1, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"InitSetVelocityInfo",
         82,
         {1, 4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_InitSetVelocityInfo(t.port, t.slave, 1.0f, o.At<uint8_t>(0),
                                                         o.At<uint32_t>(1))
                                : InitSetVelocityInfo(1.0f, o.At<uint8_t>(0), o.At<uint32_t>(1));
         }},
        {"ReadSysTime",
         71,
         {4},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadSysTime(t.port, t.slave, o.At<uint32_t>(0))
                                : ReadSysTime(o.At<uint32_t>(0));
         }},
        {"ReadECStatus",
         74,
         {1, 1},
         [](const T& t, O& o) {
             return t.multiPort
                        ? MP_ReadECStatus(t.port, t.slave, o.At<uint8_t>(0), o.At<uint8_t>(1))
                        : ReadECStatus(o.At<uint8_t>(0), o.At<uint8_t>(1));
         }},
        {"ReadMaxStack",
         79,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadMaxStack(t.port, t.slave, o.At<uint16_t>(0))
                                : ReadMaxStack(o.At<uint16_t>(0));
         }},
        {"ReadInput",
         64,
         {1},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadInput(t.port, t.slave, 12, o.At<uint8_t>(0))
                                : ReadInput(12, o.At<uint8_t>(0));
         }},
        {"ReadInputByte",
         65,
         {1},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadInputByte(t.port, t.slave, 0, o.At<uint8_t>(0))
                                : ReadInputByte(0, o.At<uint8_t>(0));
         }},
        {"ReadAnalogInput",
         69,
         {2},
         [](const T& t, O& o) {
             return t.multiPort ? MP_ReadAnalogInput(t.port, t.slave, 2, o.At<uint16_t>(0))
                                : ReadAnalogInput(2, o.At<uint16_t>(0));
         }},
    };
}

// Distinct answer bytes, high bit set, so that a value read from the wrong place or in the wrong
// byte order shows.
std::vector<uint8_t> AnswerBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0x81});
    return bytes;
}

// Variable i holds its slice of the answer in host order (the wire is most significant byte
// first); every byte outside the variables is still a guard.
std::array<uint8_t, 128> ExpectedBlock(const std::vector<size_t>& widths,
                                       const std::vector<uint8_t>& answer) {
    std::array<uint8_t, 128> expected;
    expected.fill(kGuard);
    size_t position = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        std::reverse_copy(answer.begin() + position, answer.begin() + position + widths[i],
                          expected.begin() + GuardedOuts::Offset(i));
        position += widths[i];
    }
    return expected;
}

TEST(FamilyAnswers, EachOutVariableReceivesExactlyItsWidth) {
    for (const bool multiPort : {true, false}) {
        for (const AnswerCase& c : AnswerCases()) {
            SCOPED_TRACE(std::string(c.command) + (multiPort ? " (MP_)" : " (plain)"));
            SimPort port(43, "2");
            const std::vector<uint8_t> answer =
                AnswerBytes(std::accumulate(c.widths.begin(), c.widths.end(), size_t{0}));
            port.Unit(2).SetHandler(c.code, [&c, answer](sim::SimUnit&, auto) {
                return sim::PositiveAnswer(c.code, answer);
            });
            CurrentTarget current(port.name, 2);
            GuardedOuts outs;
            ASSERT_EQ(c.call(Target{multiPort, port.name.c_str(), 2}, outs), 1);
            EXPECT_EQ(outs.bytes, ExpectedBlock(c.widths, answer));
        }
    }
}

TEST(FamilyAnswers, RefusalFailsAndWritesNothing) {
    for (const AnswerCase& c : AnswerCases()) {
        SCOPED_TRACE(c.command);
        SimPort port(44, "2");
        port.Unit(2).SetHandler(
            c.code, [](sim::SimUnit&, auto) { return sim::RefusalAnswer(BAD_PRM, WARN_NOMOVE); });
        GuardedOuts outs;
        EXPECT_EQ(c.call(Target{true, port.name.c_str(), 2}, outs), 0);
        GuardedOuts untouched;
        EXPECT_EQ(outs.bytes, untouched.bytes);
    }
}

TEST(FamilyAnswers, NullOutVariablesAreSkipped) {
    SimPort port(45);
    port.Unit(1).SetHandler(
        47, [](sim::SimUnit&, auto) { return sim::PositiveAnswer(47, AnswerBytes(13)); });
    EXPECT_EQ(MP_ReadProfile(port.name.c_str(), 1, nullptr, nullptr, nullptr, nullptr), 1);
}

struct TimeoutCase {
    const char* call;
    std::function<int32_t(const char* port)> run;
    uint8_t code;
    int32_t expected;
};

// The unit answers 300 ms after the request. The PC's wait is the caller's timeout where the
// command has one (0: without limit), else the command's own 100 ms.
TEST(FamilyAnswers, AnswerTimeoutFollowsTheCallersTimeout) {
    uint8_t flags;
    uint32_t duration;
    const std::vector<TimeoutCase> cases = {
        {"MoveAbsolute(1, 2000)", [](const char* p) { return MP_MoveAbsolute(p, 1, 1, 2000); }, 36,
         1},
        {"MoveAbsolute(1, 100)", [](const char* p) { return MP_MoveAbsolute(p, 1, 1, 100); }, 36,
         0},
        {"MoveRelativeInfo(1, 2000)",
         [&](const char* p) { return MP_MoveRelativeInfo(p, 1, 1, 2000, &flags, &duration); }, 37,
         1},
        {"WaitForTargetPos(2000)", [](const char* p) { return MP_WaitForTargetPos(p, 1, 2000); },
         38, 1},
        {"FindHomeSys(2000)", [](const char* p) { return MP_FindHomeSys(p, 1, 2000); }, 41, 1},
        {"FindHomeEx(..., 2000, 0)",
         [](const char* p) { return MP_FindHomeEx(p, 1, 8, 200, 10.0f, 0, 2000, 0); }, 42, 1},
        {"FindIndex(10, 2000)", [](const char* p) { return MP_FindIndex(p, 1, 10.0f, 2000); }, 43,
         1},
        {"WaitForPosition(0, 2000)",
         [](const char* p) { return MP_WaitForPosition(p, 1, 0, 2000); }, 45, 1},
        {"WaitTime(0)", [](const char* p) { return MP_WaitTime(p, 1, 0); }, 72, 1},
        {"WaitTime(50)", [](const char* p) { return MP_WaitTime(p, 1, 50); }, 72, 0},
        {"WaitForInput(3, 1, 2000)",
         [](const char* p) { return MP_WaitForInput(p, 1, 3, 1, 2000); }, 66, 1},
        {"SetVelocityInfo",
         [&](const char* p) { return MP_SetVelocityInfo(p, 1, 1.0f, &flags, &duration); }, 39, 0},
        {"InitMoveAbsolute", [](const char* p) { return MP_InitMoveAbsolute(p, 1, 1); }, 80, 0},
    };
    for (const TimeoutCase& c : cases) {
        SCOPED_TRACE(c.call);
        SimPort port(46);
        port.Unit(1).SetHandler(c.code, [code = c.code](sim::SimUnit&, auto) {
            sim::SimAnswer answer = sim::PositiveAnswer(code, std::vector<uint8_t>(8, 0));
            answer.simulatedDelay = std::chrono::milliseconds(300);
            return answer;
        });
        EXPECT_EQ(c.run(port.name.c_str()), c.expected);
    }
}

TEST(FamilyAnswers, BadTargetsFailBeforeAnythingIsSent) {
    SimPort port(47);
    port.Unit(1).SetHandler(48, [](sim::SimUnit&, auto) {
        return sim::PositiveAnswer(48, {0, 0, 0, 1});
    });
    int32_t position = 77;
    EXPECT_EQ(MP_ReadPosition(port.name.c_str(), 0, &position), 0);  // slave 0
    EXPECT_EQ(MP_ReadPosition("Com48", 1, &position), 0);            // not open
    EXPECT_EQ(MP_ReadPosition("Com100", 1, &position), 0);           // not a port name
    EXPECT_EQ(MP_ReadPosition(nullptr, 1, &position), 0);
    EXPECT_EQ(MP_ReadPosition("", 1, &position), 0);
    {
        CurrentTarget current(port.name, 0);
        EXPECT_EQ(ReadPosition(&position), 0);
        EXPECT_EQ(MoveAbsolute(1000, 100), 0);
    }
    EXPECT_EQ(position, 77);
    EXPECT_EQ(port.FramesWritten(), 0u);

    // Lower case reaches the port opened as "Com47".
    EXPECT_EQ(MP_ReadPosition("com47", 1, &position), 1);
    EXPECT_EQ(position, 1);

    // Once closed, the port is gone for commands too.
    ASSERT_EQ(KEB_CloseKelBusPort(port.name.c_str()), 0);
    port.bus->ClearWireLog();
    EXPECT_EQ(MP_ReadPosition(port.name.c_str(), 1, &position), 0);
    EXPECT_EQ(MP_StartMovement(port.name.c_str(), 1), 0);
    EXPECT_TRUE(port.bus->WireLog().empty());
}

TEST(FamilyAnswers, ResetSlaveSucceedsOnTheAcknowledgeAlone) {
    SimPort port(49);
    port.Unit(1).SetHandler(8, [](sim::SimUnit& unit, std::span<const uint8_t> data) {
        unit.SetValue("bootmode", data.empty() ? -1 : data[0]);
        return sim::PositiveAnswer(8);
    });
    EXPECT_EQ(MP_ResetSlave(port.name.c_str(), 1, 2), 1);
    EXPECT_EQ(port.Unit(1).Value("bootmode"), 2);
    EXPECT_EQ(port.bus->Counters().answersSent, 0u);
    const auto requests = Requests(port);
    ASSERT_EQ(requests.size(), 1u);  // acknowledged at once: no retransmission, no resend request

    // Without the acknowledge it fails.
    port.Unit(1).Misbehave(sim::Fault::Silent, sim::kAlways);
    EXPECT_EQ(MP_ResetSlave(port.name.c_str(), 1, 1), 0);
}

}  // namespace
}  // namespace kelcmd
