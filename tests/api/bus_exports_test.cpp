// The bus-level exports end to end: ports opened by name on simulated buses, raw packets, settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "api/communication.h"
#include "api/current_target.h"
#include "kelcmd/kelcmd.h"
#include "sim/fault.h"
#include "sim/test_commands.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;

KebPacket EchoPacket(std::initializer_list<uint8_t> data, uint8_t dest = 1) {
    KebPacket packet;
    std::memset(&packet, 0, sizeof packet);
    packet.dest = dest;
    packet.mtype = sim::kTestEcho;
    for (uint8_t byte : data) packet.data[packet.length++] = byte;
    return packet;
}

TEST(BusExports, RawPacketsThroughTheCurrentPort) {
    SimPort port(11);
    ASSERT_EQ(port.openResult, 0);
    KebPacket packet = EchoPacket({0xDE, 0xAD});
    packet.crc = 0x1234;  // ignored: the frame's CRC is computed
    packet.send = 9;      // ignored: a request's sender is the PC
    ASSERT_EQ(KEB_SendPacket(&packet), 0);

    KebPacket answer;
    std::memset(&answer, 0xEE, sizeof answer);
    ASSERT_EQ(KEB_ReceivePacket(&answer, 500), 0);
    EXPECT_EQ(answer.dest, 0);
    EXPECT_EQ(answer.send, 1);
    EXPECT_EQ(answer.mtype, sim::kTestEcho);
    EXPECT_EQ(static_cast<int>(answer.length), 2);
    EXPECT_EQ(answer.data[0], 0xDE);
    EXPECT_EQ(answer.data[1], 0xAD);

    const std::vector<uint8_t> written = port.bus->WrittenBytes();
    ASSERT_EQ(written.size(), 9u);
    EXPECT_EQ(written[3], 0);  // sender byte
}

TEST(BusExports, RetryFormsRecoverFromALostAcknowledgeAndADamagedAnswer) {
    SimPort port(12);
    port.Unit(1).Misbehave(sim::Fault::DropAck, 1);
    KebPacket packet = EchoPacket({1});
    EXPECT_EQ(KEB_SendPacketRetry(&packet), 0);
    EXPECT_EQ(port.FramesWritten(), 2u);

    port.Unit(1).Misbehave(sim::Fault::CorruptCrc, 1);
    packet = EchoPacket({2});
    ASSERT_EQ(KEB_SendPacket(&packet), 0);
    KebPacket answer{};
    EXPECT_EQ(KEB_ReceivePacketRetry(&answer, 500), 0);
    EXPECT_EQ(answer.data[0], 2);
}

TEST(BusExports, OversizedPacketNeverReachesTheLine) {
    SimPort port(13);
    KebPacket packet = EchoPacket({});
    packet.length = 1024;
    EXPECT_EQ(KEB_SendPacket(&packet), BAD_LEN);
    EXPECT_EQ(MP_KEB_SendPacketRetry(port.name.c_str(), &packet), BAD_LEN);
    EXPECT_EQ(port.FramesWritten(), 0u);
    EXPECT_EQ(KEB_SendPacket(nullptr), NO_COMMAND);
    EXPECT_EQ(KEB_ReceivePacket(nullptr, 10), NO_COMMAND);
}

// "com14" and "Com14" are one port: for finding, the raw packets, opening and removing.
TEST(BusExports, PortNamesIgnoreLetterCaseEverywhere) {
    SimPort port(14);
    KebPacket packet = EchoPacket({4});
    EXPECT_EQ(MP_KEB_SendPacket("com14", &packet), 0);
    KebPacket answer{};
    EXPECT_EQ(MP_KEB_ReceivePacketRetry("COM14", &answer, 500), 0);
    EXPECT_EQ(answer.data[0], 4);
    EXPECT_EQ(Communication().FindPort("cOm14"), port.Port());

    ASSERT_EQ(KEB_InitKelBus(9600, "COM14", 0, 50, 4), 0);
    size_t spellings = 0;
    for (const std::string& name : Communication().GetPortNames()) {
        spellings += PortNamesEqual(name, "Com14") ? 1 : 0;
    }
    EXPECT_EQ(spellings, 1u);
    uint32_t baud = 0;
    ASSERT_EQ(KEB_GetKelBusSettings("com14", &baud, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(baud, 9600u);

    EXPECT_EQ(KEB_CloseKelBusPort("com14"), 0);
    EXPECT_EQ(port.Port(), nullptr);
    EXPECT_EQ(MP_KEB_SendPacket(nullptr, &packet), WIN_ERR_WRITECOMM);
}

TEST(BusExports, SettingsAndStandardPortName) {
    SimPort port(15);
    uint32_t baud = 0, timeout = 0, trials = 0;
    uint8_t control = 7;
    ASSERT_EQ(KEB_GetKelBusSettings("Com15", &baud, &control, &timeout, &trials), 1);
    EXPECT_EQ(baud, 19200u);
    EXPECT_EQ(control, 0);
    EXPECT_EQ(timeout, 50u);
    EXPECT_EQ(trials, 4u);
    EXPECT_EQ(KEB_GetKelBusSettings("Com15", nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(KEB_GetKelBusSettings("COM15", &baud, &control, &timeout, &trials), 1);
    EXPECT_EQ(KEB_GetKelBusSettings("Com99", &baud, &control, &timeout, &trials), 0);
    EXPECT_EQ(KEB_GetBaudrate(), 19200u);

    char name[8];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(KEB_GetStandardPortName(name, 5), 0);  // "Com15" needs 6 bytes
    EXPECT_EQ(name[0], 'x');
    EXPECT_EQ(KEB_GetStandardPortName(name, 6), 1);
    EXPECT_STREQ(name, "Com15");

    SetCurrentPortName("Com1");
    EXPECT_EQ(KEB_GetStandardPortName(name, 4), 0);
    EXPECT_EQ(KEB_GetStandardPortName(name, 5), 1);
    EXPECT_STREQ(name, "Com1");
}

TEST(BusExports, ReopenTakesNewSettingsAndAFailedReopenKeepsThePortClosed) {
    SimPort port(16);
    ASSERT_EQ(KEB_InitKelBus(9600, "Com16", KEB_AUTO_CONTROL, 80, 2), 0);
    uint32_t baud = 0, timeout = 0, trials = 0;
    uint8_t control = 0;
    ASSERT_EQ(KEB_GetKelBusSettings("Com16", &baud, &control, &timeout, &trials), 1);
    EXPECT_EQ(baud, 9600u);
    EXPECT_EQ(control, 1);
    const auto names = Communication().GetPortNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Com16"), 1);

    KEB_MapPort("Com16", "/nonexistent/tty");
    EXPECT_EQ(KEB_InitKelBus(4800, "Com16", 0, 60, 3), WIN_ERR_OPENCOMM);
    ASSERT_NE(port.Port(), nullptr);
    EXPECT_FALSE(port.Port()->IsLineOpen());
    ASSERT_EQ(KEB_GetKelBusSettings("Com16", &baud, &control, &timeout, &trials), 1);
    EXPECT_EQ(baud, 4800u);
    EXPECT_EQ(control, 0);
    EXPECT_EQ(timeout, 60u);
    EXPECT_EQ(trials, 3u);
    int32_t position = 0;
    EXPECT_EQ(MP_ReadPosition("Com16", 1, &position), 0);
    // Closing removes it; its line was closed already.
    EXPECT_EQ(KEB_CloseKelBusPort("Com16"), WIN_ERR_CLOSECOMM);
    EXPECT_EQ(port.Port(), nullptr);
}

TEST(BusExports, OpenKelBusKeepsTheCurrentPortAndReusesStoredSettings) {
    SimPort port(17);
    SetCurrentPortName("Com1");
    ASSERT_EQ(KEB_InitKelBus(38400, "Com17", 0, 70, 3), 0);
    SetCurrentPortName("Com1");
    EXPECT_EQ(KEB_OpenKelBus("Com17"), 0);
    EXPECT_EQ(CurrentPortName(), "Com1");
    uint32_t baud = 0;
    ASSERT_EQ(KEB_GetKelBusSettings("Com17", &baud, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(baud, 38400u);
    EXPECT_EQ(KEB_CloseKelBusPort("Com17"), 0);
    EXPECT_EQ(KEB_CloseKelBusPort("Com17"), WIN_ERR_CLOSECOMM);
}

TEST(BusExports, UnknownDevicesAndNamesDoNotOpen) {
    EXPECT_EQ(KEB_InitKelBus(19200, "ThisNameIsFarTooLong", 0, 100, 4), WIN_ERR_OPENCOMM);
    EXPECT_EQ(Communication().FindPort("ThisNameIsFarTooLong"), nullptr);
    EXPECT_EQ(KEB_InitKelBus(19200, nullptr, 0, 100, 4), WIN_ERR_OPENCOMM);
    EXPECT_EQ(KEB_OpenKelBus("/dev/does-not-exist"), WIN_ERR_OPENCOMM);
}

TEST(FrameExports, UnitErrorAndWarningTexts) {
    char name[32];
    char text[64];
    EXPECT_EQ(GetErrorText(23, name, sizeof name, text, sizeof text), 1);
    EXPECT_STREQ(name, "ERROR_HOME");
    EXPECT_STREQ(text, "Home switch not found");
    EXPECT_EQ(GetWarningText(175, name, sizeof name, text, sizeof text), 1);
    EXPECT_STREQ(name, "WARNING_UNKNOWN");
    // A zero-sized buffer is left alone.
    name[0] = 'q';
    EXPECT_EQ(GetErrorText(0, name, 0, text, sizeof text), 1);
    EXPECT_EQ(name[0], 'q');
}

}  // namespace
}  // namespace kelcmd
