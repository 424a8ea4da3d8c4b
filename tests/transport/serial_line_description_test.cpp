// What an open port says about its device: the ninth bit's way and the device's notes.
#include <gtest/gtest.h>

#include "platform/device_notes.h"
#include "platform/fake_tty.h"
#include "platform/posix_serial_device.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd {
namespace {

using testing::FakeTtyModel;
using testing::MakeFakeTty;

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

uint8_t OpenOn(CSerialLine& line, const std::shared_ptr<FakeTtyModel>& model) {
    const std::string device = "/dev/ttyUSB0";
    return line.Open(PosixSerialDevice::Open(device, MakeFakeTty(model)), 19200, device,
                     RTS_CONTROL, 20, 1);
}

TEST(SerialLineDescription, KernelRs485AndAnUnsettableLatencyAreSaidOncePerOpen) {
    CSerialLine line;
    for (int open = 0; open < 2; ++open) {
        auto model = std::make_shared<FakeTtyModel>();
        model->rs485Offered = true;
        model->rs485.enabled = true;
        model->latencyTimer = 16;
        model->latencyWritable = false;
        ASSERT_EQ(OpenOn(line, model), RESULT_OK);
        const std::string text = line.GetDescription();
        EXPECT_EQ(text.rfind("/dev/ttyUSB0 at 19200 baud, the ninth bit by mark/space parity; ", 0),
                  0u)
            << text;
        EXPECT_EQ(Occurrences(text, KernelRs485Note()), 1u) << text;
        EXPECT_EQ(Occurrences(text, LatencyTimerNote(16)), 1u) << text;
        EXPECT_EQ(line.GetDeviceNotes(), KernelRs485Note() + "; " + LatencyTimerNote(16));
    }
    ASSERT_EQ(line.Close(), RESULT_OK);
    EXPECT_EQ(line.GetDescription(), "");

    // A device that needed nothing says how it runs and nothing more.
    auto plain = std::make_shared<FakeTtyModel>();
    plain->rs485Offered = true;
    plain->keepsAddressBit = true;
    ASSERT_EQ(OpenOn(line, plain), RESULT_OK);
    EXPECT_EQ(line.GetDescription(),
              "/dev/ttyUSB0 at 19200 baud, the ninth bit by the driver's nine-bit addressing "
              "(ADDRB)");
    EXPECT_EQ(line.GetDeviceNotes(), "");
}

}  // namespace
}  // namespace kelcmd
