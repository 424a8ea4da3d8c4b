#include <gtest/gtest.h>

#include <cstring>

#include "api/communication.h"
#include "api/catalogue_call.h"
#include "command/batch_test_support.h"
#include "command/command_stack.h"
#include "command/test_family.h"
#include "kelcmd/kelcmd.h"
#include "sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// The test family wired as the manager wires the real ones, on units that answer ReadProfile
// (47) with a fixed profile and MoveAbsoluteInfo (36) with flags and duration, or refuse a move
// to position 666.
struct StackedBus {
    explicit StackedBus(int number) : port(number) {
        family.SetLinks(&Communication(), &ProcessCommandStack());
        sim::SimUnit& unit = port.Unit(1);
        unit.SetHandler(47, [](sim::SimUnit&, std::span<const uint8_t>) {
            return sim::PositiveAnswer(47, {2, 0x3F, 0x80, 0, 0, 0x40, 0, 0, 0});
        });
        unit.SetHandler(36, [](sim::SimUnit&, std::span<const uint8_t> data) {
            if (data.size() >= 4 && data[2] == 0x02 && data[3] == 0x9A) {
                return sim::RefusalAnswer(BAD_PRM, WARN_UNREACHABLE);
            }
            return sim::PositiveAnswer(36, {0x01, 0x00, 0x00, 0x01, 0xF4});
        });
    }
    int ReadProfile(uint8_t* type, float* accel) {
        return CallCatalogue(&family, port.name.c_str(), 1, "ReadProfile", {},
                             {Out(type), Out(accel)});
    }
    int MoveInfo(int32_t position, uint8_t* flags, uint32_t* duration) {
        return CallCatalogue(&family, port.name.c_str(), 1, "MoveAbsoluteInfo",
                             {Value(position), Keep()}, {Out(flags), Out(duration)});
    }
    // The data of every batch frame the host wrote (mtype 4 or 5).
    std::vector<Bytes> BatchRequests() const {
        std::vector<Bytes> frames;
        for (const sim::WireByte& byte : port.bus->WireLog()) {
            if (byte.ninthBit) frames.emplace_back();
            if (!frames.empty()) frames.back().push_back(byte.value);
        }
        std::vector<Bytes> batches;
        for (const Bytes& frame : frames) {
            if (frame.size() >= 7 && (frame[4] == 4 || frame[4] == 5)) {
                batches.emplace_back(frame.begin() + 5, frame.end() - 2);
            }
        }
        return batches;
    }

    SimPort port;
    TinyFamily family;
};

TEST(StackExportsTest, AStackedReadWritesItsVariableOnlyWhenTheBatchIsAnswered) {
    StackedBus bus(91);
    MP_StartStackingCommands(bus.port.name.c_str(), 1);
    uint8_t type = 0;
    float accel = 0;
    EXPECT_EQ(bus.ReadProfile(&type, &accel), 1);
    EXPECT_EQ(bus.port.FramesWritten(), 0u);
    EXPECT_EQ(type, 0);

    EXPECT_EQ(MP_ExecuteCommandStack(bus.port.name.c_str(), 1), 1);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(accel, 1.0f);
    EXPECT_EQ(bus.BatchRequests(), (std::vector<Bytes>{{47}}));
    // The batch stopped collecting: the next read goes out alone.
    EXPECT_EQ(bus.ReadProfile(&type, &accel), 1);
    EXPECT_EQ(bus.port.FramesWritten(), 2u);
}

TEST(StackExportsTest, PortNamesMatchWithoutRegardToLetterCase) {
    StackedBus bus(92);
    std::string lower = bus.port.name;
    lower[0] = 'c';
    lower[1] = 'O';
    MP_StartStackingCommands(lower.c_str(), 1);
    uint8_t type = 0;
    float accel = 0;
    EXPECT_EQ(bus.ReadProfile(&type, &accel), 1);
    EXPECT_EQ(bus.port.FramesWritten(), 0u);
    EXPECT_EQ(MP_StopStackingCommands(bus.port.name.c_str(), 1), 1);
    EXPECT_EQ(MP_ExecuteCommandStack(lower.c_str(), 1), 1);
    EXPECT_EQ(type, 2);
}

TEST(StackExportsTest, AQuietBatchIsSentFirstAndItsResultsReadLater) {
    StackedBus bus(93);
    const char* name = bus.port.name.c_str();
    MP_StartStackingCommands(name, 1);
    uint8_t flags = 0;
    uint32_t duration = 0;
    uint8_t type = 0;
    float accel = 0;
    ASSERT_EQ(bus.MoveInfo(1000, &flags, &duration), 1);
    ASSERT_EQ(bus.ReadProfile(&type, &accel), 1);

    EXPECT_EQ(MP_ExecuteQuietCommandStack(name, 1), 1);
    EXPECT_EQ(duration, 0u);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(MP_ReadLastQuietCommandStack(name, 1), 1);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(duration, 500u);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(bus.BatchRequests(), (std::vector<Bytes>{{36, 0, 0, 3, 0xE8, 0, 47}, {}}));
}

TEST(StackExportsTest, ARefusedMemberStopsTheBatchAndTheMembersBeforeItKeepTheirResults) {
    StackedBus bus(94);
    const char* name = bus.port.name.c_str();
    MP_StartStackingCommands(name, 1);
    uint8_t type = 0, lateType = 0, flags = 0;
    float accel = 0, lateAccel = 0;
    uint32_t duration = 0;
    bus.ReadProfile(&type, &accel);
    bus.MoveInfo(666, &flags, &duration);
    bus.ReadProfile(&lateType, &lateAccel);
    EXPECT_EQ(MP_ExecuteCommandStack(name, 1), 0);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(duration, 0u);
    EXPECT_EQ(lateType, 0);
}

TEST(StackExportsTest, MessagesOverTheFrameLimitAreNeverSent) {
    SimPort port(95);
    auto block = [](uint32_t size) {
        auto member = std::make_unique<CKelStandardCommand>();
        member->SetCommand("Block", 8, 0, 0);
        member->AddSendParameter("block", TYPE_BYTE_ARRAY, size);
        return member;
    };
    CKelBatchCommand full;
    full.SetPortName(port.name);
    full.SetPortList(&Communication());
    full.SetDestination(1);
    full.AppendCommand(block(1022));
    full.Execute();
    EXPECT_EQ(port.FramesWritten(), 1u);
    EXPECT_EQ(port.bus->WireLog().size(), 5u + 1023u + 2u);

    RecordingPrompt prompt;
    CKelBatchCommand over(full);
    over.RemoveAll();
    over.AppendCommand(block(1023));
    EXPECT_EQ(over.Execute(), 0);
    EXPECT_EQ(port.FramesWritten(), 1u);
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{"Message is too long!\nMore than 1023bytes"});
}

TEST(StackExportsTest, WithoutACollectionNothingIsStoppedOrSent) {
    SimPort port(96);
    const char* name = port.name.c_str();
    EXPECT_EQ(MP_StopStackingCommands(name, 1), 0);
    EXPECT_EQ(MP_ExecuteCommandStack(name, 1), 0);
    EXPECT_EQ(MP_ReadLastQuietCommandStack(name, 2), 0);
    EXPECT_EQ(MP_StopStackingCommands(nullptr, 1), 0);
    EXPECT_EQ(port.FramesWritten(), 0u);
}

}  // namespace
}  // namespace kelcmd::testing
