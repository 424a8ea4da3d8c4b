#include "command/command_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/archive.h"
#include "batch_test_support.h"
#include "command/batch_command_store.h"
#include "command/parameter_types.h"

namespace kelcmd::testing {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

size_t Find(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) -
           haystack.begin();
}

// A file in a fresh folder, removed with the folder.
struct TempFolder {
    TempFolder() {
        path = fs::temp_directory_path() /
               ("kelcmd_files_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    static void Write(const std::string& file, const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    fs::path path;
    static inline int counter = 0;
};

TEST(BatchFileTest, AnEmptyBatchFileStartsWithTheVersionAndReadsBackEqual) {
    CKelBatchCommand batch;
    batch.SetName("Test");
    const std::vector<uint8_t> bytes = StoreBatchBytes(batch);
    const std::vector<uint8_t> header = Concat({{19}, Text("kbcFileVersion_1.00")});
    ASSERT_GE(bytes.size(), header.size() + 8);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    // Type 0 and no members close the file.
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()), std::vector<uint8_t>(8, 0));

    std::unique_ptr<CKelBatchCommand> loaded;
    ASSERT_EQ(LoadBatchBytes(bytes, loaded), FileStatus::kOk);
    EXPECT_EQ(loaded->GetName(), "Test");
    EXPECT_EQ(StoreBatchBytes(*loaded), bytes);
}

TEST(BatchFileTest, TheSecondMemberOfAClassCarriesOnlyTheClassIndex) {
    CKelBatchCommand batch;
    batch.SetName("Two");
    batch.AppendCommand(MakeMember("ReadPosition", 48, {}, {{"positionIs", TYPE_LINT}}));
    batch.AppendCommand(MakeMember("SetRegMode", 32, {{"regmode", TYPE_BYTE}}));
    const std::vector<uint8_t> bytes = StoreBatchBytes(batch);

    const std::vector<uint8_t> tag =
        Concat({{0xFF, 0xFF, 0x01, 0x00, 19, 0x00}, Text("CKelStandardCommand")});
    const size_t first = Find(bytes, tag);
    ASSERT_LT(first, bytes.size());
    CArchive member;
    batch.GetCommand(0)->Serialize(member);
    const size_t second = first + tag.size() + member.Data().size();
    ASSERT_LT(second + 1, bytes.size());
    // Class index 1 (the class was the first thing numbered).
    EXPECT_EQ(bytes[second], 0x01);
    EXPECT_EQ(bytes[second + 1], 0x80);

    std::unique_ptr<CKelBatchCommand> loaded;
    ASSERT_EQ(LoadBatchBytes(bytes, loaded), FileStatus::kOk);
    ASSERT_EQ(loaded->GetCommandCount(), 2u);
    EXPECT_EQ(loaded->GetCommand(1)->GetName(), "SetRegMode");
}

TEST(BatchFileTest, OtherVersionsAndDuplicatesAreRefusedWithoutTouchingTheStore) {
    TempFolder folder;
    CKelBatchCommand batch;
    batch.SetName("Cycle");
    batch.AppendCommand(MakeMember("ReadPosition", 48));
    const std::string file = folder.File("Cycle.kbc");
    ASSERT_EQ(WriteBatchFile(file, batch), FileStatus::kOk);

    CBatchCommandStore store;
    RecordingPrompt prompt;
    EXPECT_EQ(LoadBatchFromPath(file, store), 1);
    EXPECT_EQ(LoadBatchFromPath(file, store), 0);
    EXPECT_EQ(store.Count(), 1u);

    std::vector<uint8_t> old = StoreBatchBytes(batch);
    old[19] = '1';  // "kbcFileVersion_1.01"
    const std::string oldFile = folder.File("Old.kbc");
    TempFolder::Write(oldFile, old);
    EXPECT_EQ(LoadBatchFromPath(oldFile, store), 0);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"BatchCommand 'Cycle' is already loaded!",
                                                         "File Version is too old!"}));
    EXPECT_EQ(store.Count(), 1u);
}

CCustomerCommandSet PopulatedSet() {
    CCustomerCommandSet set("Acme");
    auto command = std::make_unique<CKelCustomerCommand>();
    command->SetCommand("Pump", 0xA1, 0, 0);
    command->Parameters().AddSendParameter("speed", TYPE_WORD, 2);
    command->Parameters().AddReturnParameter("block", TYPE_BYTE_ARRAY, 4);
    StructureAttachment attachment;
    attachment.structure = CStructureDefinition("Block", {{"a", ELEMENT_WORD, 2}});
    command->ReturnAttachments().push_back(attachment);
    set.AddCommand(std::move(command));
    auto second = std::make_unique<CKelCustomerCommand>();
    second->SetCommand("Valve", 0xA2, 0, 0);
    set.AddCommand(std::move(second));
    return set;
}

TEST(CustomerSetFileTest, AnEmptySetIsTheVersionTheNameAndAZeroCount) {
    const CCustomerCommandSet set("Acme");
    EXPECT_EQ(StoreCustomerSetBytes(set),
              Concat({{19}, Text("ccsFileVersion_1.60"), {4}, Text("Acme"), {0, 0, 0, 0}}));
}

TEST(CustomerSetFileTest, APopulatedSetReadsBackEqual) {
    const std::vector<uint8_t> bytes = StoreCustomerSetBytes(PopulatedSet());
    std::unique_ptr<CCustomerCommandSet> loaded;
    ASSERT_EQ(LoadCustomerSetBytes(bytes, loaded), FileStatus::kOk);
    ASSERT_EQ(loaded->GetCommands().size(), 2u);
    EXPECT_EQ(loaded->GetCommands()[0]->ReturnAttachments().size(), 1u);
    EXPECT_EQ(StoreCustomerSetBytes(*loaded), bytes);
}

TEST(CustomerSetFileTest, PathReadingChecksTypeVersionAndDuplicates) {
    TempFolder folder;
    const std::string file = folder.File("acme.ccs");
    ASSERT_EQ(WriteCustomerSetFile(file, PopulatedSet()), FileStatus::kOk);
    std::vector<uint8_t> old = StoreCustomerSetBytes(PopulatedSet());
    old[16] = '5';  // "ccsFileVersion_1.50"
    const std::string oldFile = folder.File("old.ccs");
    TempFolder::Write(oldFile, old);
    const std::string wrongType = folder.File("acme.txt");
    fs::copy_file(file, wrongType);

    CCustomerCommandSets sets;
    RecordingPrompt prompt;
    EXPECT_EQ(LoadCustomerSetFromPath(wrongType, sets), 0);
    EXPECT_EQ(LoadCustomerSetFromPath(oldFile, sets), 0);
    EXPECT_EQ(LoadCustomerSetFromPath(file, sets), 1);
    EXPECT_EQ(LoadCustomerSetFromPath(file, sets), 0);
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{"Bad Type of File!", "File Version is too old!",
                                        "Client 'Acme' is already loaded!"}));
    ASSERT_EQ(sets.Count(), 1u);
    EXPECT_EQ(sets.GetSets()[0]->GetCommands()[0]->GetManager(), &sets);
}

TEST(CustomerSetFileTest, ATruncatedFileLoadsNothing) {
    const std::vector<uint8_t> bytes = StoreCustomerSetBytes(PopulatedSet());
    TempFolder folder;
    const std::string file = folder.File("cut.ccs");
    CCustomerCommandSets sets;
    for (size_t length = 20; length < bytes.size(); length += 97) {
        TempFolder::Write(file, std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
        EXPECT_EQ(ReadCustomerSetFile(file, sets), FileStatus::kMalformed) << length;
        EXPECT_EQ(sets.Count(), 0u);
    }
}

TEST(StructureFileTest, RoundTripAndLoadingByName) {
    const CStructureDefinition definition("Gains",
                                          {{"kp", ELEMENT_FLOAT, 1}, {"flags", ELEMENT_BITS8, 3}});
    const std::vector<uint8_t> bytes = StoreStructureBytes(definition);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20),
              Concat({{19}, Text("uspFileVersion_1.00")}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 20, bytes.end()), definition.ToStream());

    TempFolder folder;
    const std::string file = folder.File("gains.usp");
    ASSERT_EQ(WriteStructureFile(file, definition), FileStatus::kOk);
    CStructureDefinition loaded;
    EXPECT_EQ(LoadStructureFromPath(file, loaded), 1);
    EXPECT_EQ(loaded, definition);
}

TEST(StructureFileTest, RefusedFilesKeepTheCurrentDefinition) {
    TempFolder folder;
    const CStructureDefinition current("Current", {{"x", ELEMENT_BYTE, 1}});
    std::vector<uint8_t> bytes = StoreStructureBytes(CStructureDefinition("Other"));
    const std::string cut = folder.File("cut.usp");
    TempFolder::Write(cut, std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
    bytes[5] = 'X';
    const std::string old = folder.File("old.usp");
    TempFolder::Write(old, bytes);

    RecordingPrompt prompt;
    CStructureDefinition definition = current;
    EXPECT_EQ(LoadStructureFromPath(folder.File("gains.txt"), definition), 0);
    EXPECT_EQ(LoadStructureFromPath(cut, definition), 0);
    EXPECT_EQ(LoadStructureFromPath(old, definition), 0);
    EXPECT_EQ(definition, current);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Bad Type of File!", "Bad Type of File!",
                                                         "File Version is too old!"}));
}

}  // namespace
}  // namespace kelcmd::testing
