#include "transport/serial_line.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/pty_pair.h"
#include "platform/system_error.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using kelcmd::testing::PtyEcho;
using kelcmd::testing::PtyPair;
using Clock = std::chrono::steady_clock;

// ---- A recording device double ----

struct DeviceLog {
    std::vector<std::string> calls;
    std::vector<LineSettings> appliedSettings;
    std::vector<CommTimeouts> appliedTimeouts;
    std::vector<bool> rtsChanges;
    bool closed = false;
};

class FakeDevice final : public SerialDevice {
  public:
    explicit FakeDevice(DeviceLog& log) : log_(log) {}

    std::string failing;  // the operation that reports failure

    bool SetupQueues(uint32_t in, uint32_t out) override {
        log_.calls.push_back("SetupQueues " + std::to_string(in) + " " + std::to_string(out));
        return failing != "SetupQueues";
    }
    bool GetLineSettings(LineSettings& settings) override {
        log_.calls.push_back("GetLineSettings");
        settings.baud = 9600;
        settings.dataBits = 7;
        settings.parity = Parity::Even;
        settings.stopBits = 2;
        settings.rtsEnabled = true;
        return failing != "GetLineSettings";
    }
    bool SetLineSettings(const LineSettings& settings) override {
        log_.calls.push_back("SetLineSettings");
        log_.appliedSettings.push_back(settings);
        return failing != "SetLineSettings";
    }
    bool SetTimeouts(const CommTimeouts& timeouts) override {
        log_.calls.push_back("SetTimeouts");
        log_.appliedTimeouts.push_back(timeouts);
        return failing != "SetTimeouts";
    }
    bool SetTransmitterEmptyMask() override {
        log_.calls.push_back("SetTransmitterEmptyMask");
        return failing != "SetTransmitterEmptyMask";
    }
    bool WaitTransmitterEmpty() override {
        log_.calls.push_back("WaitTransmitterEmpty");
        return failing != "WaitTransmitterEmpty";
    }
    bool Purge() override {
        log_.calls.push_back("Purge");
        return failing != "Purge";
    }
    bool SetRts(bool raised) override {
        log_.calls.push_back(raised ? "SetRts 1" : "SetRts 0");
        log_.rtsChanges.push_back(raised);
        return false;  // as on a pseudo-terminal: not reported
    }
    bool Write(const uint8_t*, size_t count, size_t& written) override {
        log_.calls.push_back("Write " + std::to_string(count));
        written = count;
        return failing != "Write";
    }
    bool Read(uint8_t*, size_t count, size_t& received) override {
        log_.calls.push_back("Read " + std::to_string(count));
        received = 0;
        return failing != "Read";
    }
    bool Close() override {
        log_.calls.push_back("Close");
        log_.closed = true;
        return failing != "Close";
    }

  private:
    DeviceLog& log_;
};

std::unique_ptr<FakeDevice> MakeFake(DeviceLog& log, const std::string& failing = "") {
    auto device = std::make_unique<FakeDevice>(log);
    device->failing = failing;
    return device;
}

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- Open and Close ----

TEST(SerialLine, OpenOfMissingDeviceFailsWith128) {
    CSerialLine line;
    EXPECT_EQ(line.Open(19200, "/dev/kelcmd-no-such-device", RTS_CONTROL, 100, 4),
              WIN_ERR_OPENCOMM);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 0u);
    EXPECT_EQ(line.Close(), WIN_ERR_CLOSECOMM);
    // The arguments are stored even so.
    EXPECT_EQ(line.GetDevicePath(), "/dev/kelcmd-no-such-device");
    EXPECT_EQ(line.GetCharacterTimeout(), 100u);
    EXPECT_EQ(line.GetReceiveTrials(), 4u);
}

TEST(SerialLine, BaudrateIsZeroBeforeAnyOpen) {
    CSerialLine line;
    EXPECT_EQ(line.GetBaudrate(), 0u);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.Close(), WIN_ERR_CLOSECOMM);
}

TEST(SerialLine, OpenAndCloseAPseudoTerminal) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(38400, pty.SlavePath(), AUTO_CONTROL, 50, 3), RESULT_OK);
    EXPECT_TRUE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 38400u);
    EXPECT_EQ(line.GetDevicePath(), pty.SlavePath());
    EXPECT_EQ(line.GetBusControl(), AUTO_CONTROL);
    EXPECT_EQ(line.GetCharacterTimeout(), 50u);
    EXPECT_EQ(line.GetReceiveTrials(), 3u);
    EXPECT_FALSE(line.IsRtsRaised());
    EXPECT_EQ(line.GetLineSettings().parity, Parity::Space);
    EXPECT_EQ(line.GetLineSettings().dataBits, 8);

    EXPECT_EQ(line.Close(), RESULT_OK);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.Close(), WIN_ERR_CLOSECOMM);
    // The last open succeeded: the rate is still reported after the close.
    EXPECT_EQ(line.GetBaudrate(), 38400u);
}

TEST(SerialLine, BaudrateIsZeroAfterAFailedOpen) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.Open(19200, "/dev/kelcmd-no-such-device", RTS_CONTROL, 100, 4),
              WIN_ERR_OPENCOMM);
    EXPECT_EQ(line.GetBaudrate(), 0u);
    EXPECT_FALSE(line.IsOpen());
    // The old handle was closed first: another object can have the device now.
    CSerialLine other;
    EXPECT_EQ(other.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
}

TEST(SerialLine, ReopenClosesTheOldHandleFirst) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    // The same exclusive device again: works only because the old handle is closed first.
    ASSERT_EQ(line.Open(9600, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.GetBaudrate(), 9600u);

    PtyPair second;
    ASSERT_EQ(line.Open(9600, second.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    CSerialLine other;
    EXPECT_EQ(other.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
}

TEST(SerialLine, OpenOfADeviceHeldByAnotherFailsWith128) {
    PtyPair pty;
    CSerialLine holder;
    ASSERT_EQ(holder.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    CSerialLine line;
    EXPECT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), WIN_ERR_OPENCOMM);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 0u);
    EXPECT_TRUE(holder.IsOpen());
}

TEST(SerialLine, DestructorClosesTheDevice) {
    PtyPair pty;
    {
        CSerialLine line;
        ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    }
    CSerialLine other;
    EXPECT_EQ(other.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
}

TEST(SerialLine, RateZeroFailsWith131AndLeavesTheObjectClosed) {
    PtyPair pty;
    CSerialLine line;
    EXPECT_EQ(line.Open(0, pty.SlavePath(), RTS_CONTROL, 100, 4), WIN_ERR_SETCOMM);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 0u);
    EXPECT_EQ(line.Close(), WIN_ERR_CLOSECOMM);
    // The port object closes and opens again: the handle left behind does not block the device.
    EXPECT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
}

TEST(SerialLine, RateOutsideTheLineRuleFailsWith131BeforeTheDeviceIsTouched) {
    for (const uint32_t baud : {0u, 4000001u}) {
        DeviceLog log;
        CSerialLine line;
        EXPECT_EQ(line.Open(MakeFake(log), baud, "fake", RTS_CONTROL, 100, 4), WIN_ERR_SETCOMM);
        EXPECT_TRUE(log.calls.empty()) << baud;
        EXPECT_FALSE(line.IsOpen());
        EXPECT_EQ(ThreadSystemError().number, EINVAL);
    }
    for (const uint32_t baud : {1u, 12345u, 4000000u}) {
        DeviceLog log;
        CSerialLine line;
        EXPECT_EQ(line.Open(MakeFake(log), baud, "fake", RTS_CONTROL, 100, 4), RESULT_OK) << baud;
        ASSERT_FALSE(log.appliedSettings.empty());
        EXPECT_EQ(log.appliedSettings.back().baud, baud);
    }
}

TEST(SerialLine, DeviceWithoutLineSettingsFailsWith132) {
    char path[] = "/tmp/kelcmd-line-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        CSerialLine line;
        EXPECT_EQ(line.Open(19200, path, RTS_CONTROL, 100, 4), WIN_ERR_GETCOMM);
        EXPECT_FALSE(line.IsOpen());
        EXPECT_EQ(line.GetBaudrate(), 0u);
    }
    ::unlink(path);
}

TEST(SerialLine, OpenRunsTheStepsInOrderAndWritesTheSettingsOfPart11) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log), 57600, "fake", RTS_CONTROL, 100, 4), RESULT_OK);
    const std::vector<std::string> expected = {"SetupQueues 1200 1200", "GetLineSettings",
                                               "SetLineSettings", "Purge",
                                               "SetTransmitterEmptyMask"};
    EXPECT_EQ(std::vector<std::string>(log.calls.begin(), log.calls.begin() + 5), expected);
    ASSERT_EQ(log.appliedSettings.size(), 1u);
    const LineSettings& applied = log.appliedSettings[0];
    EXPECT_EQ(applied.baud, 57600u);
    EXPECT_EQ(applied.dataBits, 8);
    EXPECT_EQ(applied.parity, Parity::Space);
    EXPECT_EQ(applied.stopBits, 1);
    EXPECT_FALSE(applied.rtsEnabled);
    EXPECT_TRUE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 57600u);
}

struct StepFailure {
    const char* operation;
    uint8_t code;
};

TEST(SerialLine, EachFailingStepOfOpenGivesItsCode) {
    const StepFailure failures[] = {{"SetupQueues", WIN_ERR_SETCOMM},
                                    {"GetLineSettings", WIN_ERR_GETCOMM},
                                    {"SetLineSettings", WIN_ERR_SETCOMM},
                                    {"Purge", WIN_ERR_SETCOMM},
                                    {"SetTransmitterEmptyMask", WIN_ERR_SETCOMM}};
    for (const StepFailure& failure : failures) {
        DeviceLog log;
        CSerialLine line;
        EXPECT_EQ(line.Open(MakeFake(log, failure.operation), 19200, "fake", RTS_CONTROL, 100, 4),
                  failure.code)
            << failure.operation;
        EXPECT_FALSE(line.IsOpen()) << failure.operation;
        EXPECT_EQ(line.GetBaudrate(), 0u) << failure.operation;
        // Nothing after the failing step.
        EXPECT_EQ(log.calls.back().rfind(failure.operation, 0), 0u) << log.calls.back();
    }
    CSerialLine line;
    EXPECT_EQ(line.Open(nullptr, 19200, "fake", RTS_CONTROL, 100, 4), WIN_ERR_OPENCOMM);
}

TEST(SerialLine, CloseReports135WhenThePlatformCloseFails) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log, "Close"), 19200, "fake", RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.Close(), WIN_ERR_CLOSECOMM);
    EXPECT_TRUE(log.closed);
}

TEST(SerialLine, ReopenClosesTheOldDeviceBeforeTakingTheNewOne) {
    DeviceLog first;
    DeviceLog second;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(first), 19200, "one", RTS_CONTROL, 100, 4), RESULT_OK);
    ASSERT_EQ(line.Open(MakeFake(second), 9600, "two", RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_TRUE(first.closed);
    EXPECT_FALSE(second.closed);
    EXPECT_EQ(line.GetDevicePath(), "two");
}

// ---- Settings per frame ----

TEST(SerialLine, SetParityAppliesTheWholeRecordWithRtsFromTheFlag) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log), 19200, "fake", RTS_CONTROL, 100, 4), RESULT_OK);
    log.appliedSettings.clear();

    line.RaiseRts();
    EXPECT_TRUE(line.IsRtsRaised());
    EXPECT_TRUE(line.SetParity(Parity::Mark));
    line.DropRts();
    EXPECT_FALSE(line.IsRtsRaised());
    EXPECT_TRUE(line.SetParity(Parity::Space));

    ASSERT_EQ(log.appliedSettings.size(), 2u);
    EXPECT_EQ(log.appliedSettings[0].parity, Parity::Mark);
    EXPECT_TRUE(log.appliedSettings[0].rtsEnabled);
    EXPECT_EQ(log.appliedSettings[0].baud, 19200u);
    EXPECT_EQ(log.appliedSettings[1].parity, Parity::Space);
    EXPECT_FALSE(log.appliedSettings[1].rtsEnabled);
    EXPECT_EQ(log.rtsChanges, (std::vector<bool>{true, false}));
}

TEST(SerialLine, SetParityReportsAFailedApply) {
    DeviceLog log;
    auto device = MakeFake(log);
    FakeDevice* raw = device.get();
    CSerialLine line;
    ASSERT_EQ(line.Open(std::move(device), 19200, "fake", RTS_CONTROL, 100, 4), RESULT_OK);
    raw->failing = "SetLineSettings";
    EXPECT_FALSE(line.SetParity(Parity::Mark));
    EXPECT_EQ(line.GetLineSettings().parity, Parity::Mark);  // stored all the same
}

TEST(SerialLine, TransmitTimeoutsWaitOneCharacterTimeoutInTotal) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log), 19200, "fake", RTS_CONTROL, 75, 4), RESULT_OK);
    ASSERT_TRUE(line.SetTransmitTimeouts());
    ASSERT_FALSE(log.appliedTimeouts.empty());
    const CommTimeouts& t = log.appliedTimeouts.back();
    EXPECT_EQ(t.readInterval, 0u);
    EXPECT_EQ(t.readTotalMultiplier, 0u);
    EXPECT_EQ(t.readTotalConstant, 75u);
    EXPECT_EQ(t.writeTotalMultiplier, 0u);
    EXPECT_EQ(t.writeTotalConstant, 0u);
}

TEST(SerialLine, ReceiveTimeoutsAndTheReadTotalConstant) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log), 19200, "fake", RTS_CONTROL, 75, 4), RESULT_OK);

    ASSERT_TRUE(line.SetReceiveTimeouts(300));
    CommTimeouts t = log.appliedTimeouts.back();
    EXPECT_EQ(t.readInterval, 75u);
    EXPECT_EQ(t.readTotalMultiplier, 75u);
    EXPECT_EQ(t.readTotalConstant, 300u);
    EXPECT_EQ(t.writeTotalMultiplier, 0u);
    EXPECT_EQ(t.writeTotalConstant, 0u);

    ASSERT_TRUE(line.SetReceiveTimeouts(0));
    t = log.appliedTimeouts.back();
    EXPECT_EQ(t.readTotalConstant, 4294967295u);
    EXPECT_EQ(line.GetTimeouts().readTotalConstant, kWaitWithoutLimit);

    ASSERT_TRUE(line.SetReadTotalConstant(0));
    t = log.appliedTimeouts.back();
    EXPECT_EQ(t.readInterval, 75u);
    EXPECT_EQ(t.readTotalMultiplier, 75u);
    EXPECT_EQ(t.readTotalConstant, 0u);
}

TEST(SerialLine, TimeoutsThatCannotBeAppliedReportFailure) {
    DeviceLog log;
    CSerialLine line;
    ASSERT_EQ(line.Open(MakeFake(log, "SetTimeouts"), 19200, "fake", RTS_CONTROL, 75, 4),
              RESULT_OK);
    EXPECT_FALSE(line.SetTransmitTimeouts());
    EXPECT_FALSE(line.SetReceiveTimeouts(10));
    EXPECT_FALSE(line.SetReadTotalConstant(0));
}

TEST(SerialLine, OperationsOnAClosedLineFail) {
    CSerialLine line;
    uint8_t byte = 0;
    size_t moved = 7;
    EXPECT_FALSE(line.Purge());
    EXPECT_FALSE(line.SetParity(Parity::Mark));
    EXPECT_FALSE(line.SetTransmitTimeouts());
    EXPECT_FALSE(line.SetReceiveTimeouts(0));
    EXPECT_FALSE(line.WaitTransmitterEmpty());
    EXPECT_FALSE(line.Write(&byte, 1, moved));
    EXPECT_EQ(moved, 0u);
    moved = 7;
    EXPECT_FALSE(line.Read(&byte, 1, moved));
    EXPECT_EQ(moved, 0u);
    line.RaiseRts();  // not reported, no crash
    line.DropRts();
}

TEST(SerialLine, WriteAndReadThroughAPseudoTerminal) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 30, 4), RESULT_OK);
    const uint8_t frame[] = {0x01, 0x00, 0x00, 0x00, 0x24, 0x12, 0x34};
    size_t written = 0;
    ASSERT_TRUE(line.SetTransmitTimeouts());
    line.RaiseRts();
    EXPECT_TRUE(line.SetParity(Parity::Mark));
    ASSERT_TRUE(line.Write(frame, 1, written));
    EXPECT_EQ(written, 1u);
    EXPECT_TRUE(line.WaitTransmitterEmpty());
    EXPECT_TRUE(line.SetParity(Parity::Space));
    ASSERT_TRUE(line.Write(frame + 1, sizeof frame - 1, written));
    EXPECT_EQ(written, sizeof frame - 1);
    line.DropRts();
    EXPECT_EQ(pty.Read(sizeof frame), std::vector<uint8_t>(frame, frame + sizeof frame));

    // The acknowledge read: one character timeout in total.
    uint8_t ack = 0;
    size_t received = 9;
    const auto start = Clock::now();
    ASSERT_TRUE(line.Read(&ack, 1, received));
    EXPECT_EQ(received, 0u);
    EXPECT_GE(MillisSince(start), 25.0);
    ASSERT_TRUE(pty.Write({0x80}));
    ASSERT_TRUE(line.Read(&ack, 1, received));
    EXPECT_EQ(received, 1u);
    EXPECT_EQ(ack, 0x80);

    // Purge drops what came late.
    ASSERT_TRUE(pty.Write({1, 2, 3}));
    usleep(20000);
    EXPECT_TRUE(line.Purge());
    ASSERT_TRUE(line.Read(&ack, 1, received));
    EXPECT_EQ(received, 0u);
}

// ---- Gaps and busy-wait ----

TEST(SerialLine, CharacterGapTable) {
    EXPECT_EQ(CSerialLine::CharacterGap(110), 184000u);
    EXPECT_EQ(CSerialLine::CharacterGap(300), 92000u);
    EXPECT_EQ(CSerialLine::CharacterGap(600), 46000u);
    EXPECT_EQ(CSerialLine::CharacterGap(1200), 20000u);
    EXPECT_EQ(CSerialLine::CharacterGap(2400), 11000u);
    EXPECT_EQ(CSerialLine::CharacterGap(4800), 5000u);
    EXPECT_EQ(CSerialLine::CharacterGap(9600), 2800u);
    EXPECT_EQ(CSerialLine::CharacterGap(19200), 1200u);
    EXPECT_EQ(CSerialLine::CharacterGap(38400), 700u);
    EXPECT_EQ(CSerialLine::CharacterGap(57600), 600u);
    EXPECT_EQ(CSerialLine::CharacterGap(115200), 0u);
    EXPECT_EQ(CSerialLine::CharacterGap(14400), 0u);
    EXPECT_EQ(CSerialLine::CharacterGap(0), 0u);
}

TEST(SerialLine, ARateOutsideTheGapTableOpensNormally) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(115200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.GetBaudrate(), 115200u);
    EXPECT_EQ(CSerialLine::CharacterGap(line.GetBaudrate()), 0u);
}

TEST(SerialLine, BusyWaitWaitsAtLeastTheTime) {
    for (uint32_t micros : {0u, 50u, 600u, 2800u}) {
        const uint64_t start = MonotonicNanoseconds();
        CSerialLine::BusyWait(micros);
        EXPECT_GE(MonotonicNanoseconds() - start, uint64_t{micros} * 1000u) << micros;
    }
}

// ---- Loopback test ----

TEST(SerialLine, LoopbackOfAClosedLineSendsNothing) {
    CSerialLine line;
    EXPECT_EQ(line.RunLoopback(), LoopbackResult::kNotOpen);
}

TEST(SerialLine, LoopbackWithAWirePasses) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    PtyEcho wire(pty);
    EXPECT_EQ(line.RunLoopback(), LoopbackResult::kPassed);
}

TEST(SerialLine, LoopbackWithoutAWireFails) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 20, 4), RESULT_OK);
    const auto start = Clock::now();
    EXPECT_EQ(line.RunLoopback(), LoopbackResult::kFailed);
    // Nothing came back: the receive timeouts (20 * 18 + 20 ms in total) ended the read.
    EXPECT_GE(MillisSince(start), 350.0);
    const std::vector<uint8_t> sent = pty.Read(18);
    EXPECT_EQ(std::string(sent.begin(), sent.end()), "Dies ist ein Test!");
    // The receive timeouts stay as the test set them.
    EXPECT_EQ(line.GetTimeouts().readInterval, 20u);
    EXPECT_EQ(line.GetTimeouts().readTotalConstant, 20u);
}

TEST(SerialLine, LoopbackWithAGarbledEchoFails) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 50, 4), RESULT_OK);
    std::thread peer([&] {
        const std::vector<uint8_t> got = pty.Read(18);
        std::vector<uint8_t> back = got;
        if (!back.empty()) back[0] = 'd';
        (void)pty.Write(back);
    });
    EXPECT_EQ(line.RunLoopback(), LoopbackResult::kFailed);
    peer.join();
}

// ---- Opening by port name ----

TEST(SerialLine, OpenPortResolvesTheName) {
    PtyPair pty;
    ClearPortMappings();
    ASSERT_TRUE(MapPort("Com42", pty.SlavePath()));
    CSerialLine line;
    EXPECT_EQ(line.OpenPort(19200, "COM42", RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.GetDevicePath(), pty.SlavePath());
    ClearPortMappings();
}

TEST(SerialLine, OpenPortWithATooLongNameFailsWith128) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    EXPECT_EQ(line.OpenPort(19200, "AVeryLongPortName", RTS_CONTROL, 100, 4), WIN_ERR_OPENCOMM);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.GetBaudrate(), 0u);
    // The previous device was closed as in any open.
    CSerialLine other;
    EXPECT_EQ(other.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
}

// ---- The operating system's reason ----

TEST(SerialLine, AFailedOpenKeepsTheReasonWithItsStep) {
    char file[] = "/tmp/kelcmd-line-XXXXXX";
    const int fd = ::mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const std::string path = file;
    ClearPortMappings();
    ASSERT_TRUE(MapPort("Com71", "/dev/kelcmd-no-such-device"));
    ASSERT_TRUE(MapPort("Com72", path));
    struct Case {
        std::string port;
        uint8_t code;
        int number;
        std::string text;
    };
    const Case cases[] = {
        {"Com71", WIN_ERR_OPENCOMM, ENOENT,
         "open /dev/kelcmd-no-such-device: No such file or directory"},
        {"Com72", WIN_ERR_GETCOMM, ENOTTY,
         "get line settings " + path + ": Inappropriate ioctl for device"},
        {"LPT1", WIN_ERR_OPENCOMM, ENODEV, "open LPT1: No such device"},
        {"AVeryLongPortName", WIN_ERR_OPENCOMM, ENAMETOOLONG,
         "open AVeryLongPortName: File name too long"},
    };
    PtyPair pty;
    for (const Case& c : cases) {
        CSerialLine line;
        EXPECT_EQ(line.OpenPort(19200, c.port, RTS_CONTROL, 100, 4), c.code) << c.port;
        EXPECT_EQ(line.GetLastSystemError().number, c.number) << c.port;
        EXPECT_EQ(DescribeSystemError(line.GetLastSystemError()), c.text);
        EXPECT_EQ(DescribeSystemError(ThreadSystemError()), c.text);
        // The next open starts afresh.
        ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
        EXPECT_EQ(line.GetLastSystemError().number, 0);
        EXPECT_EQ(ThreadSystemError().number, 0);
    }
    ClearPortMappings();
    ::unlink(file);
}

TEST(SerialLine, AFailedReadKeepsTheReason) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), RTS_CONTROL, 100, 4), RESULT_OK);
    pty.CloseMaster();
    uint8_t buffer[2];
    size_t received = 0;
    EXPECT_FALSE(line.Read(buffer, 2, received));
    EXPECT_EQ(DescribeSystemError(line.GetLastSystemError()),
              "read " + pty.SlavePath() +
                  ": device lost (Input/output error); the next command opens it again");
    EXPECT_EQ(line.GetLastSystemError().number, EIO);
}

}  // namespace
}  // namespace kelcmd
