#include "platform/posix_serial_device.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/pty_pair.h"
#include "platform/serial_device.h"
#include "platform/system_error.h"

namespace kelcmd {
namespace {

using kelcmd::testing::PtyPair;
using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Opens the slave of `pty` and applies the settings a serial line writes at open.
std::unique_ptr<PosixSerialDevice> OpenConfigured(const PtyPair& pty, uint32_t baud = 19200) {
    auto device = PosixSerialDevice::Open(pty.SlavePath());
    if (!device) return nullptr;
    LineSettings settings;
    if (!device->GetLineSettings(settings)) return nullptr;
    settings.baud = baud;
    settings.dataBits = 8;
    settings.parity = Parity::Space;
    settings.stopBits = 1;
    settings.rtsEnabled = false;
    if (!device->SetLineSettings(settings) || !device->Purge()) return nullptr;
    return device;
}

CommTimeouts ReadTimeouts(uint32_t interval, uint32_t multiplier, uint32_t constant) {
    CommTimeouts timeouts;
    timeouts.readInterval = interval;
    timeouts.readTotalMultiplier = multiplier;
    timeouts.readTotalConstant = constant;
    return timeouts;
}

TEST(PosixSerialDevice, OpenOfMissingDeviceFails) {
    EXPECT_EQ(PosixSerialDevice::Open("/dev/kelcmd-no-such-device"), nullptr);
    EXPECT_EQ(PosixSerialDevice::Open(""), nullptr);
    EXPECT_EQ(OpenSerialDevice("/dev/kelcmd-no-such-device"), nullptr);
}

// What a failed open leaves for the calling thread: the errno and "open <path>: <errno text>".
TEST(PosixSerialDevice, FailedOpenRecordsTheSystemReason) {
    PtyPair pty;
    auto holder = PosixSerialDevice::Open(pty.SlavePath());
    ASSERT_NE(holder, nullptr);
    struct Case {
        std::string path;
        int number;
        std::string text;
    };
    const Case cases[] = {
        {"/dev/kelcmd-no-such-device", ENOENT,
         "open /dev/kelcmd-no-such-device: No such file or directory"},
        {"", ENOENT, "open: No such file or directory"},
        {"/", EISDIR, "open /: Is a directory"},
        {pty.SlavePath(), EBUSY, "open " + pty.SlavePath() + ": Device or resource busy"},
    };
    for (const Case& c : cases) {
        ClearThreadSystemError();
        EXPECT_EQ(OpenSerialDevice(c.path), nullptr) << c.path;
        EXPECT_EQ(ThreadSystemError().number, c.number) << c.path;
        EXPECT_EQ(DescribeSystemError(ThreadSystemError()), c.text);
    }
}

TEST(PosixSerialDevice, SystemReasonsBelongToTheThreadThatFailed) {
    ClearThreadSystemError();
    std::thread other(
        [] { EXPECT_EQ(PosixSerialDevice::Open("/dev/kelcmd-no-such-device"), nullptr); });
    other.join();
    EXPECT_EQ(ThreadSystemError().number, 0);
    EXPECT_EQ(DescribeSystemError(ThreadSystemError()), "");
}

TEST(PosixSerialDevice, OpenSerialDeviceOpensAPseudoTerminal) {
    PtyPair pty;
    auto device = OpenSerialDevice(pty.SlavePath());
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Close());
}

TEST(PosixSerialDevice, SecondOpenFailsWhileTheFirstHoldsTheDevice) {
    PtyPair pty;
    auto first = PosixSerialDevice::Open(pty.SlavePath());
    ASSERT_NE(first, nullptr);
    // Also as root, where TIOCEXCL alone would let the second opener through.
    EXPECT_EQ(PosixSerialDevice::Open(pty.SlavePath()), nullptr);
    EXPECT_EQ(OpenSerialDevice(pty.SlavePath()), nullptr);
    // The failed opener did not disturb the first one.
    EXPECT_EQ(PosixSerialDevice::Open(pty.SlavePath()), nullptr);
    EXPECT_TRUE(first->Close());
    auto again = PosixSerialDevice::Open(pty.SlavePath());
    EXPECT_NE(again, nullptr);
}

TEST(PosixSerialDevice, DestructorReleasesTheDevice) {
    PtyPair pty;
    {
        auto first = PosixSerialDevice::Open(pty.SlavePath());
        ASSERT_NE(first, nullptr);
    }
    EXPECT_NE(PosixSerialDevice::Open(pty.SlavePath()), nullptr);
}

TEST(PosixSerialDevice, OperationsFailAfterClose) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Close());
    EXPECT_FALSE(device->Close());
    LineSettings settings;
    size_t moved = 99;
    uint8_t byte = 0;
    EXPECT_FALSE(device->GetLineSettings(settings));
    EXPECT_FALSE(device->SetLineSettings(settings));
    EXPECT_FALSE(device->Purge());
    EXPECT_FALSE(device->WaitTransmitterEmpty());
    EXPECT_FALSE(device->Write(&byte, 1, moved));
    EXPECT_EQ(moved, 0u);
    EXPECT_FALSE(device->Read(&byte, 1, moved));
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(DescribeSystemError(device->LastSystemError()),
              "read " + pty.SlavePath() + ": Bad file descriptor");
}

TEST(PosixSerialDevice, LineSettingsAreAppliedAndReadBack) {
    PtyPair pty;
    auto device = OpenConfigured(pty, 57600);
    ASSERT_NE(device, nullptr);
    LineSettings settings;
    ASSERT_TRUE(device->GetLineSettings(settings));
    EXPECT_EQ(settings.baud, 57600u);
    EXPECT_EQ(settings.dataBits, 8);
    EXPECT_EQ(settings.stopBits, 1);
    // A pseudo-terminal drops PARENB itself, so the parity is not checked here; both mark and space
    // must still be accepted.
    settings.parity = Parity::Mark;
    EXPECT_TRUE(device->SetLineSettings(settings));
    settings.parity = Parity::Space;
    settings.rtsEnabled = true;  // RTS cannot be driven on a pty; that is not a failure
    EXPECT_TRUE(device->SetLineSettings(settings));

    termios record{};
    ASSERT_EQ(::tcgetattr(device->Descriptor(), &record), 0);
    EXPECT_EQ(record.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(record.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(record.c_iflag & (INPCK | PARMRK), static_cast<tcflag_t>(INPCK | PARMRK));
    EXPECT_EQ(record.c_oflag & OPOST, 0u);
    EXPECT_EQ(record.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(record.c_cflag & CRTSCTS, 0u);
}

TEST(PosixSerialDevice, ParitySwitchesAndReopensKeepWorkingOnAPseudoTerminal) {
    // A pty drops PARENB, and glibc then reports EINVAL for a record the kernel did apply.
    PtyPair pty;
    for (int round = 0; round < 3; ++round) {
        auto device = OpenConfigured(pty);
        ASSERT_NE(device, nullptr) << round;
        LineSettings settings;
        ASSERT_TRUE(device->GetLineSettings(settings));
        settings.baud = 19200;
        for (int i = 0; i < 4; ++i) {
            settings.parity = (i % 2) ? Parity::Space : Parity::Mark;
            EXPECT_TRUE(device->SetLineSettings(settings)) << round << " " << i;
            EXPECT_TRUE(device->SetLineSettings(settings)) << round << " " << i;
        }
        size_t written = 0;
        const uint8_t byte = static_cast<uint8_t>(round);
        ASSERT_TRUE(device->Write(&byte, 1, written));
        EXPECT_EQ(pty.Read(1), std::vector<uint8_t>{byte});
    }
}

TEST(PosixSerialDevice, RatesAreAppliedAndReadBackAndZeroRefused) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    LineSettings settings;
    ASSERT_TRUE(device->GetLineSettings(settings));
    for (uint32_t baud : {110u, 300u, 2400u, 9600u, 19200u, 38400u, 57600u, 115200u, 230400u}) {
        settings.baud = baud;
        EXPECT_TRUE(device->SetLineSettings(settings)) << baud;
        LineSettings back;
        ASSERT_TRUE(device->GetLineSettings(back));
        EXPECT_EQ(back.baud, baud);
    }
    settings.baud = 0;
    EXPECT_FALSE(device->SetLineSettings(settings));
    EXPECT_EQ(DescribeSystemError(device->LastSystemError()),
              "set line settings " + pty.SlavePath() + ": Invalid argument");
    EXPECT_FALSE(PosixSerialDevice::SpeedOf(12345).has_value());
    EXPECT_EQ(PosixSerialDevice::BaudOf(B9600), 9600u);
}

TEST(PosixSerialDevice, RtsChangesDoNotBreakTheDevice) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    (void)device->SetRts(true);  // fails on a pty; either result is fine
    (void)device->SetRts(false);
    size_t written = 0;
    const uint8_t byte = 0x42;
    ASSERT_TRUE(device->Write(&byte, 1, written));
    EXPECT_EQ(pty.Read(1), std::vector<uint8_t>{0x42});
}

TEST(PosixSerialDevice, WrittenBytesArriveAtThePeer) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    const std::vector<uint8_t> bytes = {0x01, 0x00, 0x00, 0x00, 0x24, 0x0D, 0x0A, 0xFF, 0x11, 0x13};
    size_t written = 0;
    ASSERT_TRUE(device->Write(bytes.data(), bytes.size(), written));
    EXPECT_EQ(written, bytes.size());
    EXPECT_TRUE(device->WaitTransmitterEmpty());
    EXPECT_EQ(pty.Read(bytes.size()), bytes);
}

TEST(PosixSerialDevice, LargeWriteWaitsForRoomAndDeliversEverything) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    std::vector<uint8_t> bytes(256 * 1024);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::vector<uint8_t> got;
    std::thread reader([&] {
        SleepMs(50);  // let the writer fill the buffer and wait for room
        got = pty.Read(bytes.size(), 2000);
    });
    size_t written = 0;
    EXPECT_TRUE(device->Write(bytes.data(), bytes.size(), written));
    EXPECT_EQ(written, bytes.size());
    reader.join();
    EXPECT_EQ(got, bytes);
}

TEST(PosixSerialDevice, ReadReturnsAtOnceWhenAllBytesAreThere) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 0)));  // no limit at all
    ASSERT_TRUE(pty.Write({1, 2, 3, 4, 5}));
    uint8_t buffer[5] = {};
    size_t received = 0;
    ASSERT_TRUE(device->Read(buffer, 5, received));
    EXPECT_EQ(received, 5u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    // A read of nothing returns at once.
    EXPECT_TRUE(device->Read(buffer, 0, received));
    EXPECT_EQ(received, 0u);
}

TEST(PosixSerialDevice, TotalConstantExpiresWithoutData) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 50)));
    uint8_t buffer[10];
    size_t received = 99;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 10, received));  // a timeout is not a failure
    EXPECT_GE(MillisSince(start), 45.0);
    EXPECT_EQ(received, 0u);
}

TEST(PosixSerialDevice, TotalMultiplierCountsTheBytesAsked) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 10, 20)));  // 10 * 5 + 20 = 70 ms
    uint8_t buffer[5];
    size_t received = 99;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 5, received));
    EXPECT_GE(MillisSince(start), 65.0);
    EXPECT_EQ(received, 0u);
}

TEST(PosixSerialDevice, TotalTimeoutReturnsThePartialBytes) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    // No interval limit: the bytes already there do not end the read, only the total does.
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 60)));
    ASSERT_TRUE(pty.Write({0xAA, 0xBB}));
    uint8_t buffer[10] = {};
    size_t received = 0;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 10, received));
    EXPECT_GE(MillisSince(start), 55.0);
    ASSERT_EQ(received, 2u);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[1], 0xBB);
}

TEST(PosixSerialDevice, IntervalEndsAReadWhenThePeerStops) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(40, 0, 0)));
    std::atomic<int64_t> writtenAt{0};
    std::thread peer([&] {
        SleepMs(30);
        ASSERT_TRUE(pty.Write({1, 2, 3}));  // half of what is asked, then silence
        writtenAt = Clock::now().time_since_epoch().count();
    });
    uint8_t buffer[6] = {};
    size_t received = 0;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 6, received));
    const auto end = Clock::now();
    peer.join();
    EXPECT_EQ(received, 3u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 3), (std::vector<uint8_t>{1, 2, 3}));
    using Millis = std::chrono::duration<double, std::milli>;
    EXPECT_GE(Millis(end - start).count(), 60.0);
    const Clock::time_point wrote{Clock::duration{writtenAt.load()}};
    EXPECT_GE(Millis(end - wrote).count(), 35.0);
}

TEST(PosixSerialDevice, IntervalAloneWaitsWithoutLimitForTheFirstByte) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(30, 0, 0)));
    std::thread peer([&] {
        SleepMs(200);  // far beyond the interval: it does not count before the first byte
        ASSERT_TRUE(pty.Write({9, 8}));
    });
    uint8_t buffer[4] = {};
    size_t received = 0;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 4, received));
    const double elapsed = MillisSince(start);
    peer.join();
    EXPECT_GE(elapsed, 190.0);
    ASSERT_EQ(received, 2u);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(buffer[1], 8);
}

TEST(PosixSerialDevice, ConstantWithoutLimitWaitsForTheFirstByte) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    // What SetReceiveTimeouts(0) gives: interval and multiplier, constant "without limit".
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(40, 40, kWaitWithoutLimit)));
    std::thread peer([&] {
        SleepMs(250);  // longer than multiplier * 1: only the constant could have limited it
        ASSERT_TRUE(pty.Write({0x00}));
    });
    uint8_t byte = 0xEE;
    size_t received = 0;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(&byte, 1, received));
    const double elapsed = MillisSince(start);
    peer.join();
    EXPECT_GE(elapsed, 240.0);
    EXPECT_EQ(received, 1u);
    EXPECT_EQ(byte, 0x00);
}

TEST(PosixSerialDevice, ConstantZeroAfterTheFirstByteLeavesIntervalAndMultiplier) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    // After the first answer byte: interval = multiplier = character timeout, constant 0.
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(50, 50, 0)));

    // Nothing at all: the total (50 * 2) ends the read, not "wait without limit".
    uint8_t buffer[4] = {};
    size_t received = 99;
    auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 2, received));
    EXPECT_GE(MillisSince(start), 95.0);
    EXPECT_EQ(received, 0u);

    // Two of four bytes: the interval (50) ends it well before the total (200).
    ASSERT_TRUE(pty.Write({0xEC, 0x05}));
    start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, 4, received));
    EXPECT_GE(MillisSince(start), 45.0);
    ASSERT_EQ(received, 2u);
    EXPECT_EQ(buffer[0], 0xEC);
    EXPECT_EQ(buffer[1], 0x05);
}

TEST(PosixSerialDevice, TotalLimitAppliesEvenWhileBytesKeepComing) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(500, 0, 120)));
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        for (int i = 0; i < 60 && !stop; ++i) {  // one byte every 10 ms, never an interval gap
            (void)pty.Write({static_cast<uint8_t>(i)});
            SleepMs(10);
        }
    });
    uint8_t buffer[200] = {};
    size_t received = 0;
    const auto start = Clock::now();
    ASSERT_TRUE(device->Read(buffer, sizeof buffer, received));
    const double elapsed = MillisSince(start);
    stop = true;
    peer.join();
    EXPECT_GE(elapsed, 115.0);
    EXPECT_GT(received, 0u);
    EXPECT_LT(received, sizeof buffer);
    for (size_t i = 0; i < received; ++i) EXPECT_EQ(buffer[i], i);
}

TEST(PosixSerialDevice, PurgeDropsPendingInput) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(pty.Write({1, 2, 3}));
    SleepMs(20);
    ASSERT_TRUE(device->Purge());
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 30)));
    uint8_t buffer[3];
    size_t received = 99;
    ASSERT_TRUE(device->Read(buffer, 3, received));
    EXPECT_EQ(received, 0u);
}

TEST(PosixSerialDevice, ReadFailsInsteadOfSpinningWhenThePeerHangsUp) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 0)));  // would wait forever for data
    std::thread peer([&] {
        SleepMs(50);
        pty.CloseMaster();
    });
    uint8_t buffer[4];
    size_t received = 99;
    ClearThreadSystemError();
    EXPECT_FALSE(device->Read(buffer, 4, received));
    EXPECT_EQ(received, 0u);
    peer.join();
    // A hang-up reads as an I/O error, on the device and for this thread.
    EXPECT_EQ(device->LastSystemError().number, EIO);
    EXPECT_EQ(device->LastSystemError().operation, "read");
    EXPECT_EQ(ThreadSystemError().number, EIO);
}

void IgnoreSignal(int) {}

TEST(PosixSerialDevice, SignalsDoNotCutATimeoutShort) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: poll() sees EINTR
    struct sigaction previous {};
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);

    ASSERT_TRUE(device->SetTimeouts(ReadTimeouts(0, 0, 100)));
    const pthread_t reader = ::pthread_self();
    std::atomic<bool> done{false};
    std::thread interrupter([&] {
        for (int i = 0; i < 8 && !done; ++i) {
            SleepMs(10);
            ::pthread_kill(reader, SIGUSR1);
        }
    });
    uint8_t buffer[2];
    size_t received = 99;
    const auto start = Clock::now();
    const bool ok = device->Read(buffer, 2, received);
    const double elapsed = MillisSince(start);
    done = true;
    interrupter.join();
    ::sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_TRUE(ok);
    EXPECT_EQ(received, 0u);
    EXPECT_GE(elapsed, 95.0);
}

TEST(PosixSerialDevice, WaitTransmitterEmptyReturnsOnAPseudoTerminal) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->SetupQueues(1200, 1200));
    EXPECT_TRUE(device->SetTransmitterEmptyMask());
    EXPECT_TRUE(device->WaitTransmitterEmpty());
    const uint8_t byte = 0x5A;
    size_t written = 0;
    ASSERT_TRUE(device->Write(&byte, 1, written));
    EXPECT_TRUE(device->WaitTransmitterEmpty());
    EXPECT_EQ(pty.Read(1), std::vector<uint8_t>{0x5A});
}

TEST(PosixSerialDevice, ARegularFileOpensButHasNoLineSettings) {
    char path[] = "/tmp/kelcmd-serial-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    auto device = PosixSerialDevice::Open(path);
    ASSERT_NE(device, nullptr);
    LineSettings settings;
    EXPECT_FALSE(device->GetLineSettings(settings));
    device.reset();
    ::unlink(path);
}

}  // namespace
}  // namespace kelcmd
