// The serial device over a model of a driver: what it sets, checks, writes and reads.
#include <gtest/gtest.h>

#include "platform/device_notes.h"
#include "platform/fake_tty.h"
#include "platform/line_errors.h"
#include "platform/posix_serial_device.h"
#include "platform/pty_pair.h"

namespace kelcmd {
namespace {

using testing::FakeTtyCall;
using testing::FakeTtyModel;
using testing::MakeFakeTty;

LineSettings BusSettings(uint32_t baud) {
    LineSettings settings;
    settings.baud = baud;
    settings.parity = Parity::Space;
    return settings;
}

std::unique_ptr<PosixSerialDevice> OpenOn(const std::shared_ptr<FakeTtyModel>& model,
                                          const std::string& device = "/dev/ttyUSB0") {
    return PosixSerialDevice::Open(device, MakeFakeTty(model));
}

TEST(SerialDeviceDriver, ADriverThatDropsMarkSpaceOrClampsTheRateIsRefusedWithTheReason) {
    auto model = std::make_shared<FakeTtyModel>();
    model->keepsMarkSpace = false;
    auto device = OpenOn(model);
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->SetLineSettings(BusSettings(19200)));
    EXPECT_EQ(DescribeSystemError(ThreadSystemError()),
              "set line settings /dev/ttyUSB0: the driver fake_uart does not support mark/space "
              "parity (the device option ninth=oddeven sends the ninth bit as odd or even parity "
              "instead)");

    model = std::make_shared<FakeTtyModel>();
    model->maxBaud = 115200;
    device = OpenOn(model);
    EXPECT_TRUE(device->SetLineSettings(BusSettings(115200)));
    EXPECT_FALSE(device->SetLineSettings(BusSettings(230400)));
    EXPECT_EQ(DescribeSystemError(device->LastSystemError()),
              "set line settings /dev/ttyUSB0: the driver fake_uart cannot run at 230400 baud (it "
              "set 115200)");
}

TEST(SerialDeviceDriver, OddEvenFallbackGivesEveryByteItsNinthBit) {
    auto model = std::make_shared<FakeTtyModel>();
    model->keepsMarkSpace = false;
    auto device = OpenOn(model, "/dev/ttyUSB0?ninth=oddeven");
    ASSERT_NE(device, nullptr);
    LineSettings settings = BusSettings(115200);
    ASSERT_TRUE(device->SetLineSettings(settings));
    const std::vector<uint8_t> bytes = {0x00, 0x01, 0x03, 0x07, 0xFF, 0x80};
    size_t written = 0;
    for (Parity parity : {Parity::Mark, Parity::Space}) {
        settings.parity = parity;
        ASSERT_TRUE(device->SetLineSettings(settings));
        ASSERT_TRUE(device->Write(bytes.data(), bytes.size(), written));
        ASSERT_EQ(written, bytes.size());
    }
    std::vector<bool> ninth;
    std::vector<uint8_t> sent;
    for (const auto& event : model->Events()) {
        if (event.call != FakeTtyCall::kWrite) continue;
        ninth.insert(ninth.end(), event.ninthBits.begin(), event.ninthBits.end());
        sent.insert(sent.end(), event.bytes.begin(), event.bytes.end());
    }
    ASSERT_EQ(sent.size(), 2 * bytes.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(ninth[i], i < bytes.size()) << i;
        EXPECT_EQ(sent[i], bytes[i % bytes.size()]) << i;
    }
}

TEST(SerialDeviceDriver, ModemLinesAreLeftAloneUnlessTheLineControlsRts) {
    auto model = std::make_shared<FakeTtyModel>();
    auto device = OpenOn(model);
    device->SetControlsRts(false);
    ASSERT_TRUE(device->SetLineSettings(BusSettings(19200)));
    EXPECT_TRUE(device->SetRts(true));
    EXPECT_TRUE(device->SetRts(false));
    for (FakeTtyCall call : model->Calls()) {
        EXPECT_TRUE(call != FakeTtyCall::kRtsHigh && call != FakeTtyCall::kRtsLow &&
                    call != FakeTtyCall::kDtrHigh && call != FakeTtyCall::kDtrLow);
    }

    // Active-low RTS: the pin is high while idle, low while sending.
    model = std::make_shared<FakeTtyModel>();
    device = OpenOn(model, "/dev/ttyUSB0?rts=low");
    ASSERT_TRUE(device->SetLineSettings(BusSettings(19200)));
    EXPECT_EQ(model->lines & kTtyLineRts, kTtyLineRts);
    ASSERT_TRUE(device->SetRts(true));
    EXPECT_EQ(model->lines & kTtyLineRts, 0);

    // A line that must switch RTS on a device without modem lines cannot open.
    model = std::make_shared<FakeTtyModel>();
    model->modemLines = false;
    device = OpenOn(model);
    LineSettings read;
    ASSERT_TRUE(device->GetLineSettings(read));
    EXPECT_FALSE(device->SetLineSettings(BusSettings(19200)));
    EXPECT_NE(DescribeSystemError(device->LastSystemError()).find("no RTS line"),
              std::string::npos);
    device->SetControlsRts(false);
    EXPECT_TRUE(device->SetLineSettings(BusSettings(19200)));
}

TEST(SerialDeviceDriver, KernelRs485IsUsedOrRespectedAndRtsNeverDriven) {
    auto model = std::make_shared<FakeTtyModel>();
    model->rs485Offered = true;
    model->rs485.enabled = true;
    auto device = OpenOn(model);
    EXPECT_NE(device->Notes().find("RS485 mode is on"), std::string::npos);
    ASSERT_TRUE(device->SetLineSettings(BusSettings(9600)));
    EXPECT_TRUE(device->SetRts(true));
    EXPECT_TRUE(device->SetRts(false));

    auto asked = std::make_shared<FakeTtyModel>();
    asked->rs485Offered = true;
    device = OpenOn(asked, "/dev/ttyS1?rs485=kernel");
    ASSERT_TRUE(device->SetLineSettings(BusSettings(9600)));
    EXPECT_TRUE(device->SetRts(true));
    EXPECT_TRUE(asked->rs485.enabled && asked->rs485.rtsOnSend && !asked->rs485.rtsAfterSend);
    EXPECT_EQ(asked->rs485.delayAfterSendMs, 2u);  // two characters at 9600 baud
    for (const auto& m : {model, asked}) {
        for (FakeTtyCall call : m->Calls()) {
            EXPECT_TRUE(call != FakeTtyCall::kRtsHigh && call != FakeTtyCall::kRtsLow);
        }
    }

    auto without = std::make_shared<FakeTtyModel>();
    device = OpenOn(without, "/dev/ttyS1?rs485=kernel");
    EXPECT_FALSE(device->SetLineSettings(BusSettings(9600)));
    EXPECT_EQ(PosixSerialDevice::Open("/dev/ttyS1?rs485=auto", MakeFakeTty(without)), nullptr);
    EXPECT_EQ(DescribeSystemError(ThreadSystemError()),
              "open /dev/ttyS1?rs485=auto: unknown device option 'rs485=auto'");
}

TEST(SerialDeviceDriver, NineBitAddressingKeepsTheKernelsRs485AndHearsNoEchoOfTheAddress) {
    auto model = std::make_shared<FakeTtyModel>();
    model->rs485Offered = true;
    model->keepsAddressBit = true;
    model->rs485.enabled = true;  // the kernel's own mode, RTS active low
    model->rs485.rtsOnSend = false;
    model->rs485.rtsAfterSend = true;
    model->echoes = true;
    auto device = OpenOn(model, "/dev/ttyS1?echo=discard");
    LineSettings settings = BusSettings(115200);
    ASSERT_TRUE(device->SetLineSettings(settings));
    EXPECT_EQ(device->NinthBit(), NinthBitSource::kAddressBit);
    EXPECT_TRUE(model->rs485.addressBit && !model->rs485.rtsOnSend && model->rs485.rtsAfterSend);
    CommTimeouts timeouts;
    timeouts.readTotalConstant = 50;
    ASSERT_TRUE(device->SetTimeouts(timeouts));

    const uint8_t address = 0x05;
    const uint8_t data[] = {0x10, 0x20};
    size_t moved = 0;
    settings.parity = Parity::Mark;
    ASSERT_TRUE(device->SetLineSettings(settings));
    ASSERT_TRUE(device->Write(&address, 1, moved));
    EXPECT_EQ(moved, 1u);
    settings.parity = Parity::Space;
    ASSERT_TRUE(device->SetLineSettings(settings));
    ASSERT_TRUE(device->Write(data, sizeof data, moved));
    model->Deliver({0x06});
    uint8_t got[2] = {};
    ASSERT_TRUE(device->Read(got, 2, moved));
    ASSERT_EQ(moved, 1u);  // the echo of the data dropped, none of the address expected
    EXPECT_EQ(got[0], 0x06);

    ASSERT_TRUE(device->Close());
    EXPECT_TRUE(model->rs485.enabled && !model->rs485.addressBit && !model->rs485.rtsOnSend);
}

TEST(SerialDeviceDriver, LowLatencyIsSetOrTheReasonNoted) {
    auto model = std::make_shared<FakeTtyModel>();
    model->latencyTimer = 16;
    auto device = OpenOn(model);
    EXPECT_TRUE(model->lowLatency);
    EXPECT_EQ(model->latencyTimer, 1u);
    EXPECT_EQ(device->Notes(), "");

    model = std::make_shared<FakeTtyModel>();
    model->latencyTimer = 16;
    model->latencyWritable = false;
    device = OpenOn(model);
    EXPECT_EQ(device->Notes(), LatencyTimerNote(16));
}

TEST(SerialDeviceDriver, CloseClearsOnlyTheExclusivityItsOpenSet) {
    auto model = std::make_shared<FakeTtyModel>();
    auto device = OpenOn(model);
    EXPECT_TRUE(model->exclusive);
    EXPECT_TRUE(device->Close());
    EXPECT_FALSE(model->exclusive);

    model = std::make_shared<FakeTtyModel>();
    model->exclusive = true;  // another holder's, which root gets past
    device = OpenOn(model);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Close());
    EXPECT_TRUE(model->exclusive);
}

TEST(SerialDeviceDriver, EchoIsDiscardedAndDamagedInputEndsTheRead) {
    auto model = std::make_shared<FakeTtyModel>();
    model->echoes = true;
    auto device = OpenOn(model, "/dev/ttyUSB0?echo=discard");
    ASSERT_TRUE(device->SetLineSettings(BusSettings(115200)));
    CommTimeouts timeouts;
    timeouts.readTotalConstant = 50;
    ASSERT_TRUE(device->SetTimeouts(timeouts));
    const uint8_t frame[] = {0x01, 0xFF, 0x02};
    size_t moved = 0;
    ASSERT_TRUE(device->Write(frame, sizeof frame, moved));
    model->Deliver({0x06, 0xFF, 0x00});
    uint8_t got[3] = {};
    ASSERT_TRUE(device->Read(got, 3, moved));
    ASSERT_EQ(moved, 3u);
    EXPECT_EQ(std::vector<uint8_t>(got, got + 3), (std::vector<uint8_t>{0x06, 0xFF, 0x00}));

    (void)TakeThreadLineErrors();
    model->Deliver({0x00, 0x02});
    model->DeliverParityError(0x05);
    model->Deliver({0x07});
    uint8_t answer[8] = {};
    EXPECT_FALSE(device->Read(answer, sizeof answer, moved));
    EXPECT_EQ(moved, 2u);
    EXPECT_EQ(DescribeSystemError(device->LastSystemError()),
              "read /dev/ttyUSB0: received a parity error on the line");
    EXPECT_EQ(TakeThreadLineErrors().parity, 1u);

    ASSERT_TRUE(device->Purge());
    model->Deliver({0x00});
    model->DeliverBreak();
    EXPECT_FALSE(device->Read(answer, sizeof answer, moved));
    EXPECT_EQ(moved, 1u);
    EXPECT_EQ(device->LastSystemError().reason, "received a break on the line");
    EXPECT_EQ(device->LastSystemError().number, EBADMSG);
    EXPECT_EQ(TakeThreadLineErrors().breaks, 1u);
}

TEST(SerialDeviceDriver, FreeRatesAndMarkedInputOnAPseudoTerminal) {
    testing::PtyPair pty;
    auto device = PosixSerialDevice::Open(pty.SlavePath());
    ASSERT_NE(device, nullptr);
    for (uint32_t baud : {250000u, 31250u, 19200u}) {
        ASSERT_TRUE(device->SetLineSettings(BusSettings(baud))) << baud;
        LineSettings back;
        ASSERT_TRUE(device->GetLineSettings(back));
        EXPECT_EQ(back.baud, baud);
    }
    // The kernel doubles a received 0xFF under PARMRK; the device undoes it.
    CommTimeouts timeouts;
    timeouts.readTotalConstant = 500;
    ASSERT_TRUE(device->SetTimeouts(timeouts));
    ASSERT_TRUE(pty.Write({0xFF, 0x00, 0xFF, 0xFF}));
    uint8_t got[4] = {};
    size_t moved = 0;
    ASSERT_TRUE(device->Read(got, 4, moved));
    EXPECT_EQ(std::vector<uint8_t>(got, got + moved),
              (std::vector<uint8_t>{0xFF, 0x00, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace kelcmd
