#include "command/kel_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "transport/frame.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> Store(CKelCommand& command) {
    CArchive out;
    command.Serialize(out);
    return out.TakeData();
}

void FillSample(CKelCommand& command) {
    command.SetCommand("MoveAbsolute", 36, 0xA1B2C3D4, 0x5E);
    command.SetDestination(7);
    command.SetPortName("Com3");
    command.SetAnswerTimeout(250);
    command.SetStatus(STATUS_SUCCEEDED);
    command.SetWarning(130);
    command.GetMessageBuffer()[0] = 7;
    command.GetMessageBuffer()[4] = 36;
    command.GetMessageBuffer()[5] = 0x99;
    command.BuildFrame(1);
    for (size_t i = 0; i < kBufferSize; ++i) {
        command.GetAnswerBuffer()[i] = static_cast<uint8_t>(i * 7);
    }
    command.SetAnswerLength(12);
    command.SetAnswerCrc(0xBEEF);
    command.SetAnswerReceived(true);
}

TEST(KelCommandTest, StoredSizeIs2112BytesPlusTheTwoStrings) {
    CKelCommand empty;
    EXPECT_EQ(Store(empty).size(), 2112u + 1 + 1);

    CKelCommand command;
    FillSample(command);
    EXPECT_EQ(Store(command).size(), 2112u + (1 + 12) + (1 + 4));
}

TEST(KelCommandTest, RoundTripKeepsEverythingButTheStatus) {
    CKelCommand original;
    FillSample(original);
    const std::vector<uint8_t> bytes = Store(original);

    CKelCommand loaded;
    CArchive in(bytes);
    loaded.Serialize(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(loaded.GetStatus(), STATUS_IDLE);
    EXPECT_EQ(loaded.GetName(), "MoveAbsolute");
    EXPECT_EQ(loaded.GetCode(), 36);
    EXPECT_EQ(loaded.GetAuxiliaryWord(), 0xA1B2C3D4u);
    EXPECT_EQ(loaded.GetAuxiliaryByte(), 0x5E);
    EXPECT_EQ(loaded.GetDestination(), 7);
    EXPECT_EQ(loaded.GetPortName(), "Com3");
    EXPECT_EQ(loaded.GetMessageBuffer(), original.GetMessageBuffer());
    EXPECT_EQ(loaded.GetMessageLength(), 1);
    EXPECT_EQ(loaded.GetMessageCrc(), original.GetMessageCrc());
    EXPECT_TRUE(loaded.IsMessageBuilt());
    EXPECT_EQ(loaded.GetAnswerBuffer(), original.GetAnswerBuffer());
    EXPECT_EQ(loaded.GetAnswerLength(), 12);
    EXPECT_EQ(loaded.GetAnswerCrc(), 0xBEEF);
    EXPECT_TRUE(loaded.IsAnswerReceived());
    EXPECT_EQ(loaded.GetWarning(), 130);
}

TEST(KelCommandTest, MalformedArchiveLeavesTheCommandUnchanged) {
    CKelCommand source;
    FillSample(source);
    source.SetName("Other");
    const std::vector<uint8_t> bytes = Store(source);

    CKelCommand target;
    FillSample(target);
    const std::vector<uint8_t> before = Store(target);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        CArchive in(std::span<const uint8_t>(bytes.data(), cut));
        target.Serialize(in);
        ASSERT_TRUE(in.Failed()) << cut;
        ASSERT_EQ(Store(target), before) << cut;
        ASSERT_EQ(target.GetStatus(), STATUS_SUCCEEDED) << cut;
    }

    // A frame length that no frame can have. The message data length follows the 24 fixed bytes
    // of the base part, the name (6 bytes), 6 bytes of code fields and the 2-byte CRC.
    std::vector<uint8_t> badLength = bytes;
    ASSERT_EQ(badLength[38], 1);
    badLength[38] = 0x00;
    badLength[39] = 0x04;  // 1024
    CArchive in(badLength);
    target.Serialize(in);
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(Store(target), before);
}

TEST(KelCommandTest, CloneIsEqual) {
    CKelCommand original;
    FillSample(original);
    std::unique_ptr<CCommand> clone = original.Clone();
    auto* kel = dynamic_cast<CKelCommand*>(clone.get());
    ASSERT_NE(kel, nullptr);
    EXPECT_EQ(kel->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_EQ(kel->GetMessageBuffer(), original.GetMessageBuffer());
    EXPECT_EQ(kel->GetAnswerBuffer(), original.GetAnswerBuffer());
    EXPECT_EQ(kel->IsMessageBuilt(), original.IsMessageBuilt());
    EXPECT_EQ(kel->IsAnswerReceived(), original.IsAnswerReceived());
    EXPECT_EQ(Store(*kel), Store(original));
}

TEST(KelCommandTest, ResetAndClearResults) {
    CKelCommand command;
    FillSample(command);
    command.ClearResults();
    EXPECT_FALSE(command.IsAnswerReceived());
    EXPECT_TRUE(command.IsMessageBuilt());
    command.Reset();
    CKelCommand fresh;
    EXPECT_EQ(Store(command), Store(fresh));
    EXPECT_FALSE(command.IsMessageBuilt());
    EXPECT_EQ(command.GetStatus(), STATUS_IDLE);
}

TEST(KelCommandTest, PortNames) {
    CKelCommand command;
    std::vector<std::string> names;
    EXPECT_EQ(command.GetPortNames(names), 1);
    ASSERT_EQ(names.size(), 99u);
    EXPECT_EQ(names.front(), "Com1");
    EXPECT_EQ(names.back(), "Com99");

    EXPECT_EQ(command.SetPortName("COM7"), 1);
    EXPECT_EQ(command.GetPortName(), "COM7");
    for (const char* bad : {"Com100", "Com0", "Com07", "Com", "Com1 ", "/dev/ttyS0", ""}) {
        EXPECT_EQ(command.SetPortName(bad), 0) << bad;
        EXPECT_EQ(command.GetPortName(), "COM7");
    }
    EXPECT_EQ(command.SetPortName("cOm99"), 1);
    EXPECT_EQ(command.GetPortName(), "cOm99");
}

TEST(KelCommandTest, Destinations) {
    CKelCommand command;
    int32_t min = 0, max = 0;
    EXPECT_TRUE(command.GetDestinationRange(min, max));
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 255);
    EXPECT_EQ(command.SetDestination(12), 1);
    EXPECT_EQ(command.SetDestination(0), 0);
    EXPECT_EQ(command.SetDestination(256), 0);
    EXPECT_EQ(command.SetDestination(-1), 0);
    EXPECT_EQ(command.GetDestination(), 12);
    EXPECT_EQ(command.SetDestination(255), 1);
    EXPECT_EQ(command.GetDestination(), 255);
}

TEST(KelCommandTest, BuildFrameOfAnEmptyMessage) {
    CKelCommand command;
    FrameBuffer& message = command.GetMessageBuffer();
    message[0] = 3;
    message[3] = 0x55;  // a stale sender byte is overwritten
    message[4] = 11;
    command.SetAnswerReceived(true);
    ASSERT_TRUE(command.BuildFrame(0));

    const uint8_t header[] = {3, 0x00, 0x00, 0x00, 11};
    EXPECT_EQ(std::memcmp(message.data(), header, 5), 0);
    const uint16_t crc = FrameCrc(header);
    EXPECT_EQ(command.GetMessageCrc(), crc);
    EXPECT_EQ(message[1030], crc >> 8);
    EXPECT_EQ(message[1031], crc & 0xFF);
    EXPECT_EQ(command.GetMessageLength(), 0);
    EXPECT_TRUE(command.IsMessageBuilt());
    EXPECT_FALSE(command.IsAnswerReceived());
}

TEST(KelCommandTest, BuildFrameLengthWordAndCrcCoverTheData) {
    CKelCommand command;
    FrameBuffer& message = command.GetMessageBuffer();
    message[0] = 1;
    message[4] = 36;
    for (size_t i = 0; i < kDataAreaSize; ++i) message[kDataOffset + i] = static_cast<uint8_t>(i);

    ASSERT_TRUE(command.BuildFrame(5));
    EXPECT_EQ(message[1], 0xEC);
    EXPECT_EQ(message[2], 0x05);
    EXPECT_EQ(command.GetMessageCrc(), FrameCrc(std::span<const uint8_t>(message.data(), 10)));

    ASSERT_TRUE(command.BuildFrame(1023));
    EXPECT_EQ(message[1], 0x0B);
    EXPECT_EQ(message[2], 0xFF);
    const uint16_t crc = FrameCrc(std::span<const uint8_t>(message.data(), 1028));
    EXPECT_EQ(command.GetMessageCrc(), crc);
    EXPECT_EQ(message[1030], crc >> 8);
    EXPECT_EQ(message[1031], crc & 0xFF);

    const FrameBuffer before = message;
    EXPECT_FALSE(command.BuildFrame(1024));
    EXPECT_EQ(message, before);
    EXPECT_EQ(command.GetMessageLength(), 1023);
}

TEST(KelCommandTest, SetRawMessageCopiesAndBuilds) {
    KebPacket packet{};
    packet.dest = 9;
    packet.length = 3;
    packet.send = 0x77;  // ignored
    packet.mtype = 48;
    packet.data[0] = 0xA0;
    packet.data[1] = 0xA1;
    packet.data[2] = 0xA2;
    packet.data[1024] = 0xEE;  // beyond the length, still copied
    packet.crc = 0x1234;       // ignored

    CKelCommand command;
    ASSERT_TRUE(command.SetRawMessage(packet));
    const FrameBuffer& message = command.GetMessageBuffer();
    const uint8_t frame[] = {9, 0xF4, 0x03, 0x00, 48, 0xA0, 0xA1, 0xA2};
    EXPECT_EQ(std::memcmp(message.data(), frame, sizeof frame), 0);
    EXPECT_EQ(message[1029], 0xEE);
    EXPECT_EQ(command.GetMessageLength(), 3);
    EXPECT_EQ(command.GetMessageCrc(), FrameCrc(frame));
    EXPECT_TRUE(command.IsMessageBuilt());
}

TEST(KelCommandTest, SetRawMessageRefusesAnOverlongPacket) {
    CKelCommand command;
    KebPacket packet{};
    packet.dest = 9;
    packet.length = 1024;
    packet.mtype = 48;
    EXPECT_FALSE(command.SetRawMessage(packet));
    EXPECT_FALSE(command.IsMessageBuilt());
    EXPECT_EQ(command.GetMessageBuffer(), FrameBuffer{});
}

TEST(KelCommandTest, GetRawAnswerMapsTheFields) {
    CKelCommand command;
    FrameBuffer& answer = command.GetAnswerBuffer();
    answer[0] = 0;
    answer[1] = 0xEC;
    answer[2] = 0x05;
    answer[3] = 7;   // the unit's address
    answer[4] = 48;  // mtype
    answer[5] = 0x11;
    answer[1029] = 0x22;
    answer[1030] = 0xAB;
    answer[1031] = 0xCD;
    command.SetAnswerLength(5);
    command.SetAnswerCrc(0xABCD);

    KebPacket packet{};
    command.GetRawAnswer(packet);
    EXPECT_EQ(packet.dest, 0);
    const uint16_t length = packet.length;  // packed members cannot bind to references
    const uint16_t crc = packet.crc;
    EXPECT_EQ(length, 5);
    EXPECT_EQ(packet.send, 7);
    EXPECT_EQ(packet.mtype, 48);
    EXPECT_EQ(packet.data[0], 0x11);
    EXPECT_EQ(packet.data[1024], 0x22);
    EXPECT_EQ(crc, 0xABCD);
}

TEST(KelCommandTest, ErrorAndWarningTexts) {
    CKelCommand command;
    EXPECT_EQ(command.GetErrorText(), "CMD_FAIL / Command not executed!");
    EXPECT_EQ(command.GetWarningText(), "NO_WARNING / No warning!");
    struct ErrorCase {
        uint32_t code;
        const char* text;
    };
    for (const ErrorCase& c : {
             ErrorCase{3, "BAD_LEN / Bad Parameter Length!"},
             ErrorCase{4, "Unknown error!"},
             ErrorCase{13, "RCV_ERR_ID / Received ID is not PC_ID! (=0)"},
             ErrorCase{17, "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)"},
             ErrorCase{135, "WIN_ERR_CLOSECOMM / Error while closing port!"},
             ErrorCase{136, "Unknown error!"},
             ErrorCase{255, "Unknown error!"},
         }) {
        command.SetError(c.code);
        EXPECT_EQ(command.GetErrorText(), c.text) << c.code;
    }
    struct WarningCase {
        int32_t warning;
        const char* text;
    };
    for (const WarningCase& c : {
             WarningCase{172, "WARN_LOLIMIT / Target position out of bonds!"},
             WarningCase{200, "WARN_FLASH / Severe problem with saving data to FLASH!"},
             WarningCase{201, "WARNING_UNKNOWN / Unknown warning!"},
             WarningCase{-100, "WARNING_UNKNOWN / Unknown warning!"},
             WarningCase{-32768, "WARNING_UNKNOWN / Unknown warning!"},
         }) {
        command.SetWarning(c.warning);
        EXPECT_EQ(command.GetWarningText(), c.text) << c.warning;
    }
}

}  // namespace
}  // namespace kelcmd
