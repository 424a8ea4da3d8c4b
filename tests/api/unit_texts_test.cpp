#include "api/unit_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace kelcmd {
namespace {

TEST(UnitTextsTest, LookupsAndFallbackRows) {
    EXPECT_EQ(LookupUnitError(0).mnemonic, "NO_ERROR");
    EXPECT_EQ(LookupUnitError(24).text, "Power stage disabled, while regulation active");
    EXPECT_EQ(LookupUnitError(48).mnemonic, "ERROR_BATCH");
    for (int32_t unknown : {9, 13, 19, 26, 49, -1}) {
        EXPECT_EQ(LookupUnitError(unknown).mnemonic, "ERROR_UNKNOWN") << unknown;
        EXPECT_EQ(LookupUnitError(unknown).text, "Unknown error") << unknown;
    }
    EXPECT_EQ(LookupUnitWarning(171).text, "Target position out of bonds");
    EXPECT_EQ(LookupUnitWarning(172).text, "Target position out of bonds");
    EXPECT_EQ(LookupUnitWarning(200).mnemonic, "WARN_FLASH");
    for (int32_t unknown : {175, 201, -100}) {
        EXPECT_EQ(LookupUnitWarning(unknown).mnemonic, "WARNING_UNKNOWN") << unknown;
        EXPECT_EQ(LookupUnitWarning(unknown).text, "Unknown warning") << unknown;
    }
}

TEST(UnitTextsTest, FillsWholeTexts) {
    char name[32];
    char text[64];
    EXPECT_EQ(FillUnitErrorText(41, name, sizeof name, text, sizeof text), 1);
    EXPECT_STREQ(name, "ERROR_CURMAX");
    EXPECT_STREQ(text, "Current limit exceeded");
    EXPECT_EQ(FillUnitWarningText(183, name, sizeof name, text, sizeof text), 1);
    EXPECT_STREQ(name, "WARN_STOP");
    EXPECT_STREQ(text, "STOP still activated");
}

TEST(UnitTextsTest, TruncatesToTheBufferSize) {
    // "ERROR_HALT" has 10 characters.
    char name[16];
    std::string(sizeof name, '#').copy(name, sizeof name);
    char text[8];
    FillUnitErrorText(42, name, 10, text, sizeof text);
    EXPECT_EQ(std::string(name, 10), std::string("ERROR_HAL\0", 10));
    EXPECT_EQ(name[10], '#');
    EXPECT_STREQ(text, "System ");

    FillUnitErrorText(42, name, 11, text, sizeof text);
    EXPECT_STREQ(name, "ERROR_HALT");
    EXPECT_EQ(name[11], '#');

    FillUnitWarningText(0, name, 1, text, sizeof text);
    EXPECT_STREQ(name, "");
}

TEST(UnitTextsTest, NothingIsWrittenToAnEmptyOrMissingBuffer) {
    char guard[4] = {'#', '#', '#', '#'};
    char text[64];
    EXPECT_EQ(FillUnitErrorText(1, guard + 1, 0, text, sizeof text), 1);
    EXPECT_EQ(std::string(guard, 4), "####");
    EXPECT_STREQ(text, "Bad offset in current measurement ->REBOOT");
    EXPECT_EQ(FillUnitWarningText(100, nullptr, 10, nullptr, 10), 1);
}

}  // namespace
}  // namespace kelcmd
