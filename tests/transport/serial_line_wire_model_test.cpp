// The serial line on a model of a driver whose bytes take their time on the wire: when RTS
// changes relative to the bytes, and which modem lines are touched at all.
#include <gtest/gtest.h>

#include "platform/fake_tty.h"
#include "platform/posix_serial_device.h"
#include "transport/frame.h"
#include "transport/frame_exchange.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd {
namespace {

using testing::FakeTtyCall;
using testing::FakeTtyEvent;
using testing::FakeTtyModel;
using testing::MakeFakeTty;

CFrameExchange Request(uint8_t destination) {
    CFrameExchange exchange;
    exchange.message[0] = destination;
    exchange.message[4] = 0x30;
    exchange.message[5] = 0x12;
    exchange.message[6] = 0x34;
    exchange.BuildFrame(2);
    return exchange;
}

// Opens a line on `model` and sends one request, which the silent model never acknowledges.
void SendOneFrame(const std::shared_ptr<FakeTtyModel>& model, uint32_t baud, uint8_t busControl,
                  const std::string& device = "/dev/ttyS0") {
    CSerialLine line;
    ASSERT_EQ(line.Open(PosixSerialDevice::Open(device, MakeFakeTty(model)), baud, device,
                        busControl, 2, 1),
              RESULT_OK);
    CFrameExchange exchange = Request(1);
    EXPECT_EQ(line.SendFrame(exchange, false, {}), XMT_ERR_TACK);
}

TEST(SerialLineWireModel, RtsDropsOnlyAfterTheLastStopBitHasLeft) {
    for (uint32_t baud : {115200u, 230400u}) {
        auto model = std::make_shared<FakeTtyModel>();
        SendOneFrame(model, baud, RTS_CONTROL);
        const std::vector<FakeTtyEvent> events = model->Events();
        uint64_t wireEnd = 0;
        size_t written = 0;
        bool raised = false;
        int drops = 0;
        for (const FakeTtyEvent& event : events) {
            if (event.call == FakeTtyCall::kWrite) {
                EXPECT_TRUE(raised) << baud << ": a byte went out with the transmitter off";
                wireEnd = event.wireEndNs;
                written += event.bytes.size();
            } else if (event.call == FakeTtyCall::kRtsHigh) {
                raised = true;
            } else if (event.call == FakeTtyCall::kRtsLow && raised) {
                EXPECT_GE(event.timeNs, wireEnd) << baud << ": RTS dropped before the last bit";
                raised = false;
                ++drops;
            }
        }
        EXPECT_EQ(written, 9u) << baud;
        EXPECT_EQ(drops, 1) << baud;
    }
}

TEST(SerialLineWireModel, AutoControlAndKernelRs485NeverTouchTheModemLines) {
    auto automatic = std::make_shared<FakeTtyModel>();
    SendOneFrame(automatic, 19200, AUTO_CONTROL);
    auto kernel = std::make_shared<FakeTtyModel>();
    kernel->rs485Offered = true;
    kernel->rs485.enabled = true;
    SendOneFrame(kernel, 115200, RTS_CONTROL);
    auto asked = std::make_shared<FakeTtyModel>();
    asked->rs485Offered = true;
    SendOneFrame(asked, 115200, RTS_CONTROL, "/dev/ttyS0?rs485=kernel");
    for (const auto& model : {automatic, kernel, asked}) {
        int writes = 0;
        for (FakeTtyCall call : model->Calls()) {
            writes += call == FakeTtyCall::kWrite;
            EXPECT_TRUE(call != FakeTtyCall::kRtsHigh && call != FakeTtyCall::kRtsLow &&
                        call != FakeTtyCall::kDtrHigh && call != FakeTtyCall::kDtrLow);
        }
        EXPECT_GE(writes, 2);
    }
}

// A driver with nine-bit addressing in its RS485 mode, which is off.
std::shared_ptr<FakeTtyModel> AddressingDriver(bool keepsAddressBit = true) {
    auto model = std::make_shared<FakeTtyModel>();
    model->rs485Offered = true;
    model->keepsAddressBit = keepsAddressBit;
    return model;
}

int CountCalls(const std::shared_ptr<FakeTtyModel>& model, FakeTtyCall wanted) {
    int count = 0;
    for (FakeTtyCall call : model->Calls()) count += call == wanted;
    return count;
}

// The frame on the wire: the address byte alone with the ninth bit set, the rest without.
void ExpectFrameOnTheWire(const std::shared_ptr<FakeTtyModel>& model, const std::string& what) {
    const CFrameExchange request = Request(1);
    const std::vector<uint8_t> frame = FrameWireBytes(request.message, request.messageLength);
    const auto wire = model->Wire();
    ASSERT_EQ(wire.size(), frame.size()) << what;
    for (size_t i = 0; i < wire.size(); ++i) {
        EXPECT_EQ(wire[i].byte, frame[i]) << what << " byte " << i;
        EXPECT_EQ(wire[i].ninth, i == 0) << what << " byte " << i;
    }
}

TEST(SerialLineWireModel, NineBitAddressingSendsTheAddressByteWhereTheDriverOffersIt) {
    auto model = AddressingDriver();
    SendOneFrame(model, 115200, RTS_CONTROL);
    ExpectFrameOnTheWire(model, "addressing");
    EXPECT_EQ(CountCalls(model, FakeTtyCall::kSendAddress), 1);
    // The kernel switches the transmitter; no parity switch per frame.
    EXPECT_EQ(CountCalls(model, FakeTtyCall::kRtsHigh), 0);
    const auto events = model->Events();
    const auto address = std::find_if(events.begin(), events.end(), [](const FakeTtyEvent& e) {
        return e.call == FakeTtyCall::kSendAddress;
    });
    EXPECT_TRUE(std::none_of(address, events.end(), [](const FakeTtyEvent& e) {
        return e.call == FakeTtyCall::kSetAttributes;
    }));
    // Closing puts the RS485 settings back as they were.
    EXPECT_FALSE(model->rs485.enabled || model->rs485.addressBit);
    EXPECT_EQ(model->attributes.cflag & kTtyAddressBit, 0u);
}

TEST(SerialLineWireModel, MarkSpaceParityWhereAddressingIsDroppedRefusedOrWouldTakeRts) {
    struct Case {
        std::string what;
        std::shared_ptr<FakeTtyModel> model;
        uint8_t busControl;
        std::string device;
        bool libraryDrivesRts;
    };
    const Case cases[] = {
        {"driver drops ADDRB", AddressingDriver(false), RTS_CONTROL, "/dev/ttyS0", true},
        {"ninth=markspace", AddressingDriver(), RTS_CONTROL, "/dev/ttyS0?ninth=markspace", true},
        {"AUTO_CONTROL", AddressingDriver(), AUTO_CONTROL, "/dev/ttyS0", false},
        {"lines=keep", AddressingDriver(), RTS_CONTROL, "/dev/ttyS0?lines=keep", false},
    };
    for (const Case& c : cases) {
        SendOneFrame(c.model, 115200, c.busControl, c.device);
        ExpectFrameOnTheWire(c.model, c.what);
        EXPECT_EQ(CountCalls(c.model, FakeTtyCall::kSendAddress), 0) << c.what;
        EXPECT_EQ(CountCalls(c.model, FakeTtyCall::kRtsHigh), c.libraryDrivesRts ? 1 : 0) << c.what;
        EXPECT_FALSE(c.model->rs485.enabled) << c.what;
    }
}

}  // namespace
}  // namespace kelcmd
