// The texts the parameter dialogs show.
#include "api/system_parameter_texts.h"

#include <gtest/gtest.h>

#include <bit>

#include "api/user_parameter_texts.h"

namespace kelcmd {
namespace {

TEST(SystemParameterTexts, NamesAndUnits) {
    EXPECT_EQ(SystemParameterName(0), "Number of changes done yet");
    EXPECT_EQ(SystemParameterName(8), "");
    EXPECT_EQ(SystemParameterName(43), "ExtParam[0]");
    EXPECT_EQ(SystemParameterName(78), "ExtParam[35]");
    EXPECT_EQ(SystemParameterName(79), "");
    EXPECT_EQ(SystemParameterUnit(16), "g*cm^2");
    EXPECT_EQ(SystemParameterUnit(41), "qc");
    EXPECT_EQ(SystemParameterUnit(42), "");

    const std::vector<std::string>& list = ParameterSelectionNames();
    ASSERT_EQ(list.size(), 78u);
    EXPECT_EQ(list[7], "System Configuration");
    EXPECT_EQ(list[8], "Supply voltage");
    EXPECT_EQ(SelectionParameterNumber(8), 9u);
    EXPECT_EQ(list[33], "Max. Pulse Length Speed");
    EXPECT_EQ(list[36], "Brake Gain");
    EXPECT_EQ(list.back(), "SysParamCRC");
    EXPECT_EQ(SelectionParameterNumber(77), 78u);
}

TEST(SystemParameterTexts, ValueTexts) {
    struct Case {
        uint32_t number;
        uint32_t bits;
        const char* text;
    };
    const Case cases[] = {
        {7, 231, "b0000000011100111"},
        {7, 0x8001, "b1000000000000001"},
        {2, 4, "KELBus Mode -> RS232"},
        {2, 9, "MixMode: I/O & KELBus -> RS485"},
        {2, 7, ""},
        {2, 10, ""},
        {4, 3, "N71"},
        {4, 6, ""},
        {15, std::bit_cast<uint32_t>(2.5f), "2.500000"},
        {12, 0xFFFF, "65535"},
        {38, 0x8000, "32768"},
        {42, 54321, "54321"},
        {9, 0xFFFF, "-1"},
        {23, static_cast<uint32_t>(-100000), "-100000"},
        {6, 128, "128"},  // a Byte: group addresses are never negative
        {1, 1, "1"},
        {79, 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemParameterValueText(c.number, c.bits), c.text) << c.number;
    }
}

TEST(SystemParameterTexts, ValueLists) {
    EXPECT_EQ(Rs232ModeLongText(2), "Odd parity, 8 data bit, 1 stop bit");
    EXPECT_EQ(Rs232ModeLongText(-1), "");
    EXPECT_EQ(OfferedBaudRates().size(), 11u);
    EXPECT_EQ(OfferedBaudRates().back(), 57600);
    EXPECT_EQ(SysConfigBitText(4), "check 'ENABLE' -input");
    EXPECT_EQ(SysConfigBitText(16), "");
    EXPECT_EQ(SysConfig2BitText(3), "disable overcurrent protection (only KEL70)");
    EXPECT_EQ(SysConfig2BitText(4), "Bit4 sysConfig2  (not used)");
    EXPECT_EQ(SysConfig2BitText(15), "Bit15 sysConfig2  (not used)");
    EXPECT_EQ(MemoryAreaName(2), "User-Parameter 1");
    EXPECT_EQ(MemoryAreaName(4), "");
    EXPECT_EQ(CheckCrcResultText(false), "FAILED!");
}

TEST(SystemParameterTexts, VersionTexts) {
    struct Case {
        VersionWord word;
        uint16_t value;
        const char* text;
    };
    const Case cases[] = {
        {VersionWord::kHardRev, 0, "Rev. 0.0@ Var. @"},
        {VersionWord::kHardRev, 1012, "Rev. 1.0A Var. B"},
        {VersionWord::kHardRev, 2590, "Rev. 2.5I Var. @"},
        {VersionWord::kCmdVer, 5, "V 0.05"},
        {VersionWord::kLibVer, 171, "V 1.71"},
        {VersionWord::kAppVer, 65535, "V 655.35"},
        {VersionWord::kBootVer, 12, "V 1.2"},
        {VersionWord::kAppNb, 42, "42"},
    };
    for (const Case& c : cases) EXPECT_EQ(VersionText(c.word, c.value), c.text) << c.value;
}

}  // namespace
}  // namespace kelcmd
