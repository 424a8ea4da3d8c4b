// The unit's RS232 line: sub-functions on the wire, strings without terminators, numbers read back.
#include "api/serial_io_family.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kelcmd/kelcmd.h"
#include "recorder_test_support.h"

namespace kelcmd {
namespace {

using testing::RecorderPort;
using testing::RecorderRequest;
using testing::RecorderRequests;

TEST(SerialIoFamily, PutCommandsSendTheSubFunctionThenTheValues) {
    RecorderPort port(67);
    ASSERT_EQ(port.openResult, 0);
    const char* name = port.name.c_str();
    EXPECT_EQ(MP_PutChar(name, 1, 'X'), 1);
    EXPECT_EQ(MP_PutWord_Hex(name, 1, 0x1234, 4), 1);
    EXPECT_EQ(MP_PutFloat_Dec(name, 1, 1.5f, 'f', 6, 2), 1);
    EXPECT_EQ(MP_PutInt_Dec(name, 1, -5, 3), 1);
    EXPECT_EQ(MP_PutByte_Bin(name, 1, 5, 4), 1);
    EXPECT_EQ(MP_PutLong_Dec(name, 1, -70000, 1), 1);
    EXPECT_EQ(MP_PutString(name, 1, "ab\0c", 4), 1);
    EXPECT_EQ(RecorderRequests(port), (std::vector<RecorderRequest>{
                                          {0x4B, {0x01, 0x58}},
                                          {0x4D, {0x22, 0x12, 0x34, 0x04}},
                                          {0x4D, {0x16, 0x3F, 0xC0, 0x00, 0x00, 0x66, 0x06, 0x02}},
                                          {0x4D, {0x13, 0xFF, 0xFB, 0x03}},
                                          {0x4D, {0x30, 0x05, 0x04}},
                                          {0x4D, {0x15, 0xFF, 0xFE, 0xEE, 0x90, 0x01}},
                                          {0x4B, {0x02, 'a', 'b', 0x00, 'c'}},
                                      }));
    EXPECT_EQ(port.Peripherals().serial.Output(), std::string("X1234  1.50 -50101-70000ab\0c", 28));
}

TEST(SerialIoFamily, GetCommandsReadFromTheUnitsLine) {
    RecorderPort port(68);
    const char* name = port.name.c_str();
    sim::SimSerialChannel& line = port.Peripherals().serial;
    uint8_t available = 7;
    ASSERT_EQ(MP_IsCharAvailable(name, 1, &available), 1);
    EXPECT_EQ(available, 0);

    line.FeedInput("Q-12\r\n1F\r2.25\rhello\r");
    uint8_t character = 0;
    ASSERT_EQ(MP_GetChar(name, 1, &character), 1);
    EXPECT_EQ(character, 'Q');
    int16_t integer = 0;
    ASSERT_EQ(MP_GetInt_Dec(name, 1, &integer), 1);
    EXPECT_EQ(integer, -12);
    uint16_t hex = 0;
    ASSERT_EQ(MP_GetWord_Hex(name, 1, &hex), 1);
    EXPECT_EQ(hex, 0x1F);
    float real = 0;
    ASSERT_EQ(MP_GetFloat_Dec(name, 1, &real), 1);
    EXPECT_EQ(real, 2.25f);

    // Exactly `length` bytes: the unit's string, its zero, then whatever the answer held; the byte
    // after the buffer is never touched.
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(MP_GetString(name, 1, buffer, 7), 1);
    EXPECT_EQ(std::string(buffer, 6), std::string("hello\0", 6));
    EXPECT_EQ(buffer[7], '#');

    EXPECT_EQ(RecorderRequests(port)[1], (RecorderRequest{0x4C, {0x01}}));
    EXPECT_EQ(RecorderRequests(port)[2], (RecorderRequest{0x4E, {0x13}}));
    EXPECT_EQ(RecorderRequests(port)[5], (RecorderRequest{0x4C, {0x02}}));

    // Nothing readable as a number: refused, the variable keeps its value.
    line.FeedInput("abc\r");
    integer = 99;
    EXPECT_EQ(MP_GetInt_Dec(name, 1, &integer), 0);
    EXPECT_EQ(integer, 99);
}

TEST(SerialIoFamily, StringsBeyondAFrameOrWithoutBytesSendNothing) {
    RecorderPort port(69);
    const char* name = port.name.c_str();
    std::vector<char> big(1023, 'x');
    EXPECT_EQ(MP_PutString(name, 1, big.data(), 1023), 0);
    EXPECT_EQ(MP_PutString(name, 1, nullptr, 3), 0);
    std::vector<char> buffer(2000, '#');
    EXPECT_EQ(MP_GetString(name, 1, buffer.data(), 1024), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_TRUE(RecorderRequests(port).empty());
    // The longest string that fits goes out whole.
    EXPECT_EQ(MP_PutString(name, 1, big.data(), 1022), 1);
    EXPECT_EQ(port.Peripherals().serial.Output().size(), 1022u);
}

TEST(SerialIoFamily, CharacterNames) {
    EXPECT_EQ(CharacterName(0), "NUL / null");
    EXPECT_EQ(CharacterName(13), "CR / carriage return");
    EXPECT_EQ(CharacterName(26), "SUB / subsitute");
    EXPECT_EQ(CharacterName(32), "' '");
    EXPECT_EQ(CharacterName(65), "'A'");
    EXPECT_EQ(CharacterName(96), "'\xC2\xB4'");
    EXPECT_EQ(CharacterName(127), "DEL / delete");
    EXPECT_EQ(CharacterName(200), "");
}

}  // namespace
}  // namespace kelcmd
