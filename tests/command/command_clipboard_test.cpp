#include "command/command_clipboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "archive/object_io.h"
#include "batch_test_support.h"
#include "command/command_tree.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "transport/kel_communication.h"

namespace kelcmd::testing {
namespace {

// An in-process clipboard; it refuses writes while `refuse` is set.
class FakeClipboard final : public CommandClipboard {
  public:
    int Put(const std::string& format, std::span<const uint8_t> bytes) override {
        if (refuse) return 0;
        formats.clear();
        formats[format].assign(bytes.begin(), bytes.end());
        return 1;
    }
    std::optional<std::vector<uint8_t>> Get(const std::string& format) override {
        auto found = formats.find(format);
        if (found == formats.end()) return std::nullopt;
        return found->second;
    }
    std::map<std::string, std::vector<uint8_t>> formats;
    bool refuse = false;
};

class CommandClipboardTest : public ::testing::Test {
  protected:
    CommandClipboardTest() : previous_(InstallCommandClipboard(board_)) {}
    ~CommandClipboardTest() override { InstallCommandClipboard(previous_); }
    std::shared_ptr<FakeClipboard> board_ = std::make_shared<FakeClipboard>();

  private:
    std::shared_ptr<CommandClipboard> previous_;
};

std::unique_ptr<CKelCommand> StandardWithValues() {
    auto command = MakeMember("MoveAbsolute", 36, {{"position", TYPE_LINT}});
    const int32_t position = -123456;
    command->SetSendValue(0, &position, 4);
    command->SetDestination(7);
    command->SetPortName("Com3");
    return command;
}

std::unique_ptr<CKelCommand> Customer() {
    auto command = std::make_unique<CKelCustomerCommand>();
    command->SetCommand("ReadBlock", 0xA7, 0, 0);
    command->Parameters().AddSendParameter("select", TYPE_BYTE, 1);
    command->Parameters().AddReturnParameter("block", TYPE_BYTE_ARRAY, 4);
    const uint8_t select = 9;
    command->Parameters().SetSendValue(0, &select, 1);
    command->ReturnAttachments().push_back(
        {CStructureDefinition("Block", {{"a", ELEMENT_WORD, 2}}), 0});
    return command;
}

std::unique_ptr<CKelCommand> BatchOfTwo() {
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Pair");
    batch->SetBatchType(BATCH_QUIET_SEND);
    batch->AppendCommand(StandardWithValues());
    batch->AppendCommand(MakeMember("ReadPosition", 48, {}, {{"positionIs", TYPE_LINT}}));
    return batch;
}

TEST_F(CommandClipboardTest, CopiedAndPastedCommandsComeBackEqual) {
    const struct {
        const char* format;
        std::function<std::unique_ptr<CKelCommand>()> make;
    } cases[] = {{kStandardCommandFormat, StandardWithValues},
                 {kCustomerCommandFormat, Customer},
                 {kBatchCommandFormat, BatchOfTwo}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const std::unique_ptr<CKelCommand> original = c.make();
        ASSERT_EQ(original->CopyToClipboard(), 1);
        ASSERT_EQ(board_->formats.size(), 1u);
        const std::vector<uint8_t> bytes = board_->formats.at(c.format);
        EXPECT_EQ(bytes, ClipboardBytes(*original));

        const std::unique_ptr<CKelCommand> pasted = PasteCommand(nullptr);
        ASSERT_NE(pasted, nullptr);
        EXPECT_EQ(pasted->GetRuntimeClass(), original->GetRuntimeClass());
        EXPECT_EQ(ClipboardBytes(*pasted), bytes);
    }
}

TEST_F(CommandClipboardTest, CopyFailsWithoutAWritableClipboard) {
    const auto command = StandardWithValues();
    board_->refuse = true;
    EXPECT_EQ(command->CopyToClipboard(), 0);
    InstallCommandClipboard(nullptr);
    EXPECT_EQ(command->CopyToClipboard(), 0);
    EXPECT_EQ(PasteCommand(nullptr), nullptr);
    CKelCommand plain;  // the bus command itself has no format
    EXPECT_EQ(plain.CopyToClipboard(), 0);
}

// Counts what the manager is asked to adopt.
class CountingOwners final : public CCommandOwners {
  public:
    explicit CountingOwners(int& count) : count_(count) {}
    int AttachCommand(CObject&) override { return ++count_, 1; }
    void DeclareLinks(CParameterLinks&) override {}

  private:
    int& count_;
};

TEST_F(CommandClipboardTest, BadBytesGiveNoCommandAndNothingIsAttached) {
    int attached = 0;
    CKelCommunication manager(
        [&attached](CKelCommunication&) { return std::make_unique<CountingOwners>(attached); });
    const std::vector<uint8_t> good = ClipboardBytes(*StandardWithValues());
    CCommandTree folder("Not a command");
    CArchive foreign;
    WriteObject(foreign, &folder);
    std::vector<uint8_t> trailing = good;
    trailing.push_back(0);
    std::vector<uint8_t> renamed = good;  // "CKelStandardCommand" -> "CKelStandardCommanX"
    renamed[6 + 18] = 'X';

    const struct {
        const char* what;
        const char* format;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", kStandardCommandFormat, {}},
        {"null reference", kStandardCommandFormat, {0, 0}},
        {"a byte too many", kStandardCommandFormat, trailing},
        {"unknown class", kStandardCommandFormat, renamed},
        {"not a command", kStandardCommandFormat, foreign.Data()},
        {"another format's class", kBatchCommandFormat, good},
        {"unknown format", "KelPicture", good},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandFromClipboardBytes(c.format, c.bytes, &manager), nullptr) << c.what;
    }
    EXPECT_EQ(attached, 0);
    ASSERT_NE(CommandFromClipboardBytes(kStandardCommandFormat, good, &manager), nullptr);
    EXPECT_EQ(attached, 1);
}

TEST_F(CommandClipboardTest, EveryTruncationOfABatchIsRefused) {
    const std::vector<uint8_t> bytes = ClipboardBytes(*BatchOfTwo());
    for (size_t size = 0; size < bytes.size(); ++size) {
        ASSERT_EQ(CommandFromClipboardBytes(kBatchCommandFormat, {bytes.data(), size}, nullptr),
                  nullptr)
            << size;
    }
}

}  // namespace
}  // namespace kelcmd::testing
