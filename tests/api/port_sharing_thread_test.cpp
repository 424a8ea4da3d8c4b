// Ports shared by threads of one host: raw packets beside commands, and ports closed, removed and
// reopened while other threads run commands on them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <set>
#include <thread>
#include <vector>

#include "api/communication.h"
#include "kelcmd/kelcmd.h"
#include "sim/test_commands.h"
#include "support/sim_port.h"
#include "transport/frame.h"
#include "transport/kel_communication.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;
using Clock = std::chrono::steady_clock;

// Every frame the host wrote, split at the address bytes, must be whole: its length word says how
// long it is, and its CRC holds. Bytes of two frames mixed together fail one of the two.
void ExpectWholeFrames(const SimPort& port) {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit || frames.empty()) frames.emplace_back();
        frames.back().push_back(byte.value);
    }
    ASSERT_FALSE(frames.empty());
    for (const std::vector<uint8_t>& frame : frames) {
        ASSERT_GE(frame.size(), kHeaderSize + 2);
        const uint16_t word = static_cast<uint16_t>(frame[1] << 8 | frame[2]);
        ASSERT_TRUE(LengthWordValid(word));
        ASSERT_EQ(frame.size(), kHeaderSize + LengthOf(word) + 2);
        const uint16_t crc = static_cast<uint16_t>(frame[frame.size() - 2] << 8 | frame.back());
        ASSERT_EQ(FrameCrc(std::span<const uint8_t>(frame.data(), frame.size() - 2)), crc);
    }
}

TEST(PortSharingThread, RawPacketsNeverInterleaveWithAnotherThreadsCommands) {
    SimPort port(41);
    ASSERT_EQ(port.openResult, 0);
    std::atomic<bool> done{false};
    std::thread commands([&] {
        for (int i = 0; i < 40; ++i) {
            int32_t position = 0;
            MP_ReadPosition(port.name.c_str(), 1, &position);
        }
        done = true;
    });
    std::set<int> codes;
    while (!done) {
        KebPacket packet;
        std::memset(&packet, 0, sizeof packet);
        packet.dest = 1;
        packet.mtype = sim::kTestEcho;
        packet.length = 40;  // long enough to be cut by a frame of the other thread
        codes.insert(MP_KEB_SendPacket(port.name.c_str(), &packet));
        codes.insert(MP_KEB_ReceivePacket(port.name.c_str(), &packet, 5));
        std::this_thread::yield();  // the port's lock is not fair: let the commands in
    }
    commands.join();
    ExpectWholeFrames(port);
    // Sent and answered, or the answer went to the other thread's purge: never a mixed frame.
    for (int code : codes) EXPECT_TRUE(code == RESULT_OK || code == RCV_ERR_T0) << code;
}

// A reservation refuses every other thread, and only its owner ends it: another thread can
// neither release nor take it over.
TEST(PortSharingThread, ReservationRefusesOtherThreadsAndIsReleasedOnlyByItsOwner) {
    SimPort port(42);
    std::promise<void> reserved;
    std::promise<void> release;
    std::thread owner([&] {
        Communication().ReserveAllPorts();
        reserved.set_value();
        release.get_future().wait();
        Communication().ReleaseAllPorts();
    });
    reserved.get_future().wait();
    KebPacket packet;
    std::memset(&packet, 0, sizeof packet);
    packet.dest = 1;
    packet.mtype = sim::kTestEcho;
    EXPECT_EQ(MP_KEB_SendPacket(port.name.c_str(), &packet), WIN_ERR_WRITECOMM);
    EXPECT_EQ(MP_KEB_ReceivePacket(port.name.c_str(), &packet, 10), WIN_ERR_READCOMM);
    Communication().ReleaseAllPorts();
    EXPECT_FALSE(port.Port()->Reserve());
    int32_t position = 0;
    EXPECT_EQ(MP_ReadPosition(port.name.c_str(), 1, &position), 0);
    EXPECT_EQ(port.FramesWritten(), 0u);

    release.set_value();
    owner.join();
    EXPECT_EQ(MP_KEB_SendPacket(port.name.c_str(), &packet), RESULT_OK);
}

// A port reopened with new settings while another thread runs commands on it: every command
// runs on the old line or on the new one, so each finds its port open and gets its answer, and
// every lookup of the settings finds the old ones or the new ones.
TEST(PortSharingConcurrency, CommandsFindTheOldOrTheNewLineWhileThePortIsReopened) {
    SimPort port(44, "1", 20);
    ASSERT_EQ(port.openResult, 0);
    std::atomic<bool> done{false};
    std::atomic<int> commands{0};
    std::atomic<int> failed{0};
    std::atomic<int> otherSettings{0};
    std::thread worker([&] {
        while (!done) {
            int32_t position = -1;
            if (MP_ReadPosition(port.name.c_str(), 1, &position) != 1) ++failed;
            uint32_t baud = 0;
            if (KEB_GetKelBusSettings(port.name.c_str(), &baud, nullptr, nullptr, nullptr) != 1 ||
                (baud != 19200 && baud != 57600)) {
                ++otherSettings;
            }
            ++commands;
        }
    });
    for (int round = 0; round < 60; ++round) {
        EXPECT_EQ(
            KEB_InitKelBus(round % 2 ? 19200 : 57600, port.name.c_str(), KEB_RTS_CONTROL, 20, 4),
            RESULT_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    done = true;
    worker.join();
    EXPECT_GT(commands, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(otherSettings, 0);
}

std::atomic<int> callbackCalls{0};
void CountCallback(uint8_t, uint8_t, int16_t, uint32_t) {
    ++callbackCalls;
}

// Under AddressSanitizer: a port object is never freed under a running command, and every call
// returns one of its defined codes.
TEST(PortSharingConcurrency, PortsClosedRemovedAndReopenedUnderRunningCommands) {
    SimPort port(43, "1", 20);
    ASSERT_EQ(port.openResult, 0);
    MP_InitKelCommander(port.name.c_str(), CountCallback);
    const auto until = Clock::now() + std::chrono::milliseconds(1500);
    std::atomic<int> successes{0};
    std::atomic<int> undefined{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 3; ++w) {
        workers.emplace_back([&] {
            while (Clock::now() < until) {
                int32_t position = -1;
                const int32_t result = MP_ReadPosition(port.name.c_str(), 1, &position);
                if (result == 1 && position == 0) ++successes;
                if (result != 0 && result != 1) ++undefined;
                KebPacket packet;
                std::memset(&packet, 0, sizeof packet);
                packet.dest = 1;
                packet.mtype = sim::kTestEcho;
                const uint8_t sent = MP_KEB_SendPacket(port.name.c_str(), &packet);
                if (sent != RESULT_OK && sent != WIN_ERR_WRITECOMM && sent != XMT_ERR_TACK &&
                    sent != XMT_ERR_ACK && sent != XMT_ERR_CRC) {
                    ++undefined;
                }
            }
        });
    }
    const char* name = port.name.c_str();
    for (int round = 0; Clock::now() < until; ++round) {
        switch (round % 4) {
            case 0:
                KEB_CloseKelBusPort(name);
                break;
            case 1:
                Communication().RemovePort(port.name);
                break;
            case 2: {
                CPortSettings settings;
                settings.Set(port.name, 57600, KEB_RTS_CONTROL, 20, 2);
                Communication().SetPortSettings(port.name, settings);
                break;
            }
            default:
                break;
        }
        const uint8_t opened = KEB_InitKelBus(19200, name, KEB_RTS_CONTROL, 20, 4);
        if (opened != RESULT_OK && opened != WIN_ERR_OPENCOMM) ++undefined;
        MP_InitKelCommander(name, CountCallback);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(undefined, 0);
    EXPECT_GT(successes, 0);
    // The port is usable afterwards.
    int32_t position = -1;
    EXPECT_EQ(MP_ReadPosition(name, 1, &position), 1);
}

}  // namespace
}  // namespace kelcmd
