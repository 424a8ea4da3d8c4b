#include "command/command.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelcmd {
namespace {

CCommand SampleCommand() {
    CCommand command;
    command.SetName("Move");
    command.SetError(0x01020304);
    command.SetStartTime(10);
    command.SetEndTime(25);
    command.SetAnswerTimeout(500);
    command.SetTrials(3);
    command.SetWarning(-7);
    command.SetStatus(STATUS_SUCCEEDED);
    return command;
}

std::vector<uint8_t> Store(CCommand& command) {
    CArchive out;
    command.Serialize(out);
    return out.TakeData();
}

TEST(CommandTest, ArchiveLayoutLeavesOutTheStatus) {
    CCommand command = SampleCommand();
    const std::vector<uint8_t> expected = {
        0x04, 0x03, 0x02, 0x01,       // error
        4,    'M',  'o',  'v',  'e',  // name
        10,   0,    0,    0,          // start
        25,   0,    0,    0,          // end
        0xF4, 0x01, 0,    0,          // timeout
        3,    0,    0,    0,          // trials
        0xF9, 0xFF, 0xFF, 0xFF,       // warning
    };
    EXPECT_EQ(Store(command), expected);
}

TEST(CommandTest, LoadingGivesTheStoredValuesAndIdleStatus) {
    CCommand original = SampleCommand();
    const std::vector<uint8_t> bytes = Store(original);

    CCommand loaded;
    loaded.SetStatus(STATUS_FAILED);
    CArchive in(bytes);
    loaded.Serialize(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_EQ(loaded.GetStatus(), STATUS_IDLE);
    EXPECT_EQ(loaded.GetName(), "Move");
    EXPECT_EQ(loaded.GetError(), 0x01020304u);
    EXPECT_EQ(loaded.GetExecutionTime(), 15u);
    EXPECT_EQ(loaded.GetAnswerTimeout(), 500u);
    EXPECT_EQ(loaded.GetTrials(), 3u);
    EXPECT_EQ(loaded.GetWarning(), -7);
}

TEST(CommandTest, TruncatedArchiveLeavesTheCommandUnchanged) {
    CCommand original = SampleCommand();
    const std::vector<uint8_t> bytes = Store(original);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        CCommand target = SampleCommand();
        CArchive in(std::span<const uint8_t>(bytes.data(), cut));
        target.Serialize(in);
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(target.GetStatus(), STATUS_SUCCEEDED);
        EXPECT_EQ(Store(target), bytes);
    }
}

TEST(CommandTest, TextsAndDefaults) {
    CCommand command;
    EXPECT_EQ(command.GetAnswerTimeout(), 100u);
    EXPECT_EQ(command.GetTrials(), 1u);
    EXPECT_EQ(command.GetStatusText(), "Idle");
    command.SetStatus(STATUS_FAILED);
    EXPECT_EQ(command.GetStatusText(), "Failed");
    command.SetStatus(4);
    EXPECT_EQ(command.GetStatusText(), "");
    command.SetWarning(-3);
    command.SetError(14);
    EXPECT_EQ(command.GetWarningText(), "Warning -3");
    EXPECT_EQ(command.GetErrorText(), "Error 14");
    int32_t min = 5, max = 5;
    EXPECT_FALSE(command.GetDestinationRange(min, max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, -1);
}

TEST(CommandTest, CloneAndCopyKeepEveryField) {
    CCommand original = SampleCommand();
    std::unique_ptr<CCommand> clone = original.Clone();
    EXPECT_EQ(clone->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_EQ(Store(*clone), Store(original));

    // Copying onto itself must not reset the command first.
    original.CopyCommandData(original);
    EXPECT_EQ(original.GetName(), "Move");
    EXPECT_EQ(original.GetStatus(), STATUS_SUCCEEDED);
}

}  // namespace
}  // namespace kelcmd
