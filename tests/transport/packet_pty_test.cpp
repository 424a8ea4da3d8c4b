// The packet protocol on a real tty: a pseudo-terminal whose master side plays the unit.
#include <gtest/gtest.h>

#include <thread>

#include "platform/pty_pair.h"
#include "support/sim_line.h"
#include "transport/frame.h"
#include "transport/packet_protocol.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd {
namespace {

using testing::MakeRequest;
using testing::PtyPair;

std::vector<uint8_t> AnswerFrame(uint8_t mtype, const std::vector<uint8_t>& data) {
    const uint16_t word = LengthWord(static_cast<uint16_t>(data.size()));
    std::vector<uint8_t> frame = {0, static_cast<uint8_t>(word >> 8),
                                  static_cast<uint8_t>(word & 0xFF), 1, mtype};
    frame.insert(frame.end(), data.begin(), data.end());
    const uint16_t crc = FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    return frame;
}

struct PtyExchange {
    PtyExchange() { EXPECT_EQ(line.Open(19200, pty.SlavePath(), AUTO_CONTROL, 60, 1), 0); }
    // The unit reads the whole request, then sends `reply`; returns what the host received back.
    uint8_t Run(CKelCommand& request, const std::vector<uint8_t>& reply) {
        const size_t requestSize = kHeaderSize + request.GetMessageLength() + 2;
        std::thread unit([&] {
            seen = pty.Read(requestSize);
            if (!reply.empty()) pty.Write(reply);
        });
        const uint8_t result = Transfer(line, 1, request.Exchange());
        unit.join();
        return result;
    }
    PtyPair pty;
    CSerialLine line;
    std::vector<uint8_t> seen;
};

TEST(PacketOnPty, RequestIsByteExactAndTheAnswerIsTaken) {
    PtyExchange exchange;
    auto request = MakeRequest(3, 36, {0x00, 0x00, 0x03, 0xE8});
    std::vector<uint8_t> reply = {0x01};
    const auto answer = AnswerFrame(36, {0xAB});
    reply.insert(reply.end(), answer.begin(), answer.end());
    EXPECT_EQ(exchange.Run(*request, reply), 0);

    std::vector<uint8_t> expected = {3, 0xF0, 0x04, 0x00, 36, 0x00, 0x00, 0x03, 0xE8};
    const uint16_t crc = FrameCrc(expected);
    expected.push_back(static_cast<uint8_t>(crc >> 8));  // high byte first
    expected.push_back(static_cast<uint8_t>(crc & 0xFF));
    EXPECT_EQ(exchange.seen, expected);
    EXPECT_EQ(request->GetAnswerBuffer()[kDataOffset], 0xAB);
    EXPECT_EQ(request->GetAnswerLength(), 1);
}

TEST(PacketOnPty, EveryDamageHasItsCode) {
    const std::vector<uint8_t> good = AnswerFrame(36, {1, 2, 3, 4, 5});
    auto withAck = [](std::vector<uint8_t> bytes) {
        bytes.insert(bytes.begin(), 0x01);
        return bytes;
    };
    std::vector<uint8_t> badCrc = good;
    std::swap(badCrc[badCrc.size() - 1], badCrc[badCrc.size() - 2]);
    std::vector<uint8_t> badLength = good;
    badLength[2] = 0x06;  // 0xEC06 fails its check
    std::vector<uint8_t> foreign = good;
    foreign[0] = 5;
    const std::vector<uint8_t> cut(good.begin(), good.begin() + 10);  // stops before the CRC

    struct Case {
        const char* what;
        std::vector<uint8_t> reply;
        uint8_t expected;
    };
    const Case cases[] = {
        {"silent unit", {}, XMT_ERR_TACK},
        {"negative acknowledge", {0xFF}, XMT_ERR_CRC},
        {"acknowledge only", {0x01}, RCV_ERR_T0},
        {"bad checksum", withAck(badCrc), RCV_ERR_CRC},
        {"bad length word", withAck(badLength), RCV_ERR_LENGTH},
        // judged as soon as the word is there, not after the rest of the header timed out
        {"bad length word, then silence", withAck({0, badLength[1], badLength[2]}), RCV_ERR_LENGTH},
        {"silence after the length word", withAck({0, good[1], good[2]}), RCV_ERR_T1},
        {"foreign first byte", withAck(foreign), RCV_ERR_ID},
        {"answer cut short", withAck(cut), RCV_ERR_T1},
        {"acknowledge 0xE0",
         {0xE0, good[0], good[1], good[2], good[3], good[4], good[5], good[6], good[7], good[8],
          good[9], good[10], good[11]},
         RESULT_OK},
    };
    for (const Case& c : cases) {
        PtyExchange exchange;
        auto request = MakeRequest(1, 36, {}, 80);
        EXPECT_EQ(exchange.Run(*request, c.reply), c.expected) << c.what;
    }
}

TEST(PacketOnPty, UnitThatStopsMidFrameTimesOutAfterTheCharacterTimeout) {
    PtyExchange exchange;
    auto request = MakeRequest(1, 36, {}, 0);  // wait for the first byte without limit
    const std::vector<uint8_t> answer = AnswerFrame(36, {9, 9, 9});
    std::thread unit([&] {
        exchange.pty.Read(7);
        exchange.pty.Write({0x01});
        std::this_thread::sleep_for(std::chrono::milliseconds(150));  // longer than no limit needs
        exchange.pty.Write(std::vector<uint8_t>(answer.begin(), answer.begin() + 4));
    });
    EXPECT_EQ(Transfer(exchange.line, 1, request->Exchange()), RCV_ERR_T1);
    unit.join();
    EXPECT_FALSE(request->IsAnswerReceived());
}

}  // namespace
}  // namespace kelcmd
