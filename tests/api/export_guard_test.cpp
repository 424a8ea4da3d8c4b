// An exception inside an export never reaches the C caller: the export returns its failure value,
// nothing goes on the wire, and for a command the port's error callback hears of it.
#include "api/export_guard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "api/families.h"
#include "api/parameter_families.h"
#include "family_test_support.h"
#include "kelcmd/kelcmd.h"
#include "sim/test_commands.h"
#include "transport/result_codes.h"

namespace kelcmd::testing {
namespace {

struct Heard {
    uint8_t messageType, error;
    int16_t warning;
    uint32_t batchFlag;
    bool operator==(const Heard&) const = default;
};
std::vector<Heard> heard;
void Hear(uint8_t messageType, uint8_t error, int16_t warning, uint32_t batchFlag) {
    heard.push_back({messageType, error, warning, batchFlag});
}

KebPacket Echo() {
    KebPacket packet{};
    packet.dest = 1;
    packet.mtype = sim::kTestEcho;
    return packet;
}

// Each export is called once with a fault armed (it must return `failure` and send nothing) and
// once without (its ordinary result, so the fault was taken by that one call).
struct GuardCase {
    const char* name;
    std::function<void(const SimPort&)> setup;
    std::function<int64_t(const SimPort&)> call;
    int64_t failure;
    int64_t ordinary;
};

const GuardCase kCases[] = {
    {"command export", nullptr,
     [](const SimPort& p) {
         int32_t position = 0;
         return MP_ReadPosition(p.name.c_str(), 1, &position);
     },
     0, 1},
    {"plain form", nullptr,
     [](const SimPort& p) {
         CurrentTarget target(p.name, 1);
         uint32_t time = 0;
         return ReadSysTime(&time);
     },
     0, 1},
    {"bus export", nullptr,
     [](const SimPort& p) {
         CurrentTarget target(p.name, 1);
         KebPacket packet = Echo();
         return KEB_SendPacket(&packet);
     },
     WIN_ERR_WRITECOMM, RESULT_OK},
    {"bus receive", nullptr,
     [](const SimPort& p) {
         KebPacket packet{};
         return MP_KEB_ReceivePacket(p.name.c_str(), &packet, 20);
     },
     WIN_ERR_READCOMM, RCV_ERR_T0},
    {"stack export",
     [](const SimPort& p) {
         // The batch writes the position when it is sent, long after this setup has returned.
         static int32_t position = 0;
         MP_StartStackingCommands(p.name.c_str(), 1);
         MP_ReadPosition(p.name.c_str(), 1, &position);
     },
     [](const SimPort& p) { return MP_ExecuteCommandStack(p.name.c_str(), 1); }, 0, 1},
};

TEST(ExportGuard, AnExceptionBecomesTheFailureValue) {
    for (const GuardCase& row : kCases) {
        SCOPED_TRACE(row.name);
        SimPort port(52);
        if (row.setup) row.setup(port);
        const size_t framesBefore = port.FramesWritten();
        SetExportFaultForTesting(true);
        EXPECT_EQ(row.call(port), row.failure);
        EXPECT_EQ(port.FramesWritten(), framesBefore);
        EXPECT_EQ(row.call(port), row.ordinary);
        MP_StopStackingCommands(port.name.c_str(), 1);
    }
}

TEST(ExportGuard, TheErrorCallbackHearsACommandThatThrew) {
    const struct {
        const char* name;
        std::function<int32_t(const char*)> call;
        const CCommandFamily& family;
        const char* command;
    } rows[] = {
        {"catalogue export",
         [](const char* port) {
             int32_t position = 0;
             return MP_ReadPosition(port, 1, &position);
         },
         Families().MotionInfo(), "ReadPosition"},
        {"system parameter", [](const char* port) { return MP_SetTempParam(port, 1, 4, 1); },
         SystemParameters(), "SetTempParam"},
        {"user parameter",
         [](const char* port) {
             uint8_t buffer[16];
             uint32_t received = 0;
             return MP_ReadAllTempUsr1Param(port, 1, buffer, sizeof buffer, &received);
         },
         UserParameters(), "ReadAllTempUsr1Param"},
        {"serial line", [](const char* port) { return MP_PutString(port, 1, "hi", 2); },
         SerialIoFamily(), "PutString"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SimPort port(53);
        ASSERT_EQ(MP_InitKelCommander(port.name.c_str(), Hear), 1);
        heard.clear();
        SetExportFaultForTesting(true);
        EXPECT_EQ(row.call("COM53"), 0);  // the port is found regardless of letter case
        const uint8_t code = row.family.GetPrototype(row.command)->GetCode();
        EXPECT_EQ(heard, (std::vector<Heard>{{code, NO_COMMAND, 0, 0}}));
        EXPECT_EQ(port.FramesWritten(), 0u);
    }
}

}  // namespace
}  // namespace kelcmd::testing
