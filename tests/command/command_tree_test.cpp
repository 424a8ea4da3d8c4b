#include "command/command_tree.h"

#include <gtest/gtest.h>

#include "archive/archive.h"
#include "archive/object_io.h"
#include "batch_test_support.h"
#include "command/batch_command_store.h"
#include "command/catalogue_trees.h"
#include "command/customer_command_sets.h"
#include "test_family.h"

namespace kelcmd::testing {
namespace {

std::unique_ptr<CCommandTreeItem> Leaf(const std::string& name, uint8_t code = 48) {
    auto leaf = std::make_unique<CCommandTreeLeaf>();
    leaf->SetCommand(MakeMember(name, code));
    return leaf;
}

// Root: A, Sub (B, C), D.
CCommandTree SampleTree() {
    CCommandTree root("Root");
    root.AddTail(Leaf("A"));
    auto sub = std::make_unique<CCommandTree>("Sub");
    sub->AddTail(Leaf("B"));
    sub->AddTail(Leaf("C"));
    root.AddTail(std::move(sub));
    root.AddTail(Leaf("D"));
    return root;
}

std::vector<std::string> CommandNames(CCommandTree& tree) {
    std::vector<CCommand*> commands;
    tree.CollectCommands(&commands);
    std::vector<std::string> names;
    for (CCommand* command : commands) names.push_back(command->GetName());
    return names;
}

TEST(CommandTreeTest, InsertFindsItsFolderAndRefusesAnUnknownBeforeName) {
    CCommandTree root = SampleTree();
    std::unique_ptr<CCommandTreeItem> item = Leaf("X");
    EXPECT_FALSE(root.Insert(item, "sub", "Nobody"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(CommandNames(root), (std::vector<std::string>{"A", "B", "C", "D"}));

    EXPECT_TRUE(root.Insert(item, "SUB", "c"));
    EXPECT_EQ(item, nullptr);
    std::unique_ptr<CCommandTreeItem> last = Leaf("Y");
    EXPECT_TRUE(root.Insert(last, "root", ""));
    EXPECT_EQ(CommandNames(root), (std::vector<std::string>{"A", "B", "X", "C", "D", "Y"}));
}

TEST(CommandTreeTest, RemoveReportsTheParentAndThePrecedingName) {
    CCommandTree root = SampleTree();
    std::string parent = "unchanged";
    std::string preceding = "unchanged";
    EXPECT_TRUE(root.Remove("a", &parent, &preceding));
    EXPECT_EQ(parent, "Root");
    EXPECT_EQ(preceding, "");
    EXPECT_TRUE(root.Remove("C", &parent, &preceding));
    EXPECT_EQ(parent, "Sub");
    EXPECT_EQ(preceding, "B");
    EXPECT_FALSE(root.Remove("Nobody", nullptr, nullptr));
    EXPECT_EQ(CommandNames(root), (std::vector<std::string>{"B", "D"}));
}

TEST(CommandTreeTest, PortDestinationAndLookupReachEveryLeaf) {
    CCommandTree root = SampleTree();
    root.SetPortName("COM4");
    root.SetDestination(7);
    auto* b = dynamic_cast<CKelCommand*>(root.FindCommand("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetName(), "B");
    EXPECT_EQ(b->GetPortName(), "COM4");
    EXPECT_EQ(b->GetDestination(), 7);
    EXPECT_EQ(root.FindCommand("Sub"), nullptr);
}

TEST(CommandTreeTest, ArchiveRoundTripKeepsFoldersLeavesAndCommands) {
    CCommandTree root = SampleTree();
    CArchive storing;
    WriteObject(storing, &root);
    const std::vector<uint8_t> bytes = storing.TakeData();
    // Schema 2, then the class name.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6),
              (std::vector<uint8_t>{0xFF, 0xFF, 0x02, 0x00, 12, 0x00}));

    CArchive loading(bytes);
    std::unique_ptr<CCommandTree> loaded = ReadObjectAs<CCommandTree>(loading);
    ASSERT_FALSE(loading.Failed());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetName(), "Root");
    EXPECT_EQ(CommandNames(*loaded), (std::vector<std::string>{"A", "B", "C", "D"}));

    for (size_t length = 0; length < bytes.size(); length += 13) {
        CArchive cut(std::span<const uint8_t>(bytes.data(), length));
        EXPECT_EQ(ReadObjectAs<CCommandTree>(cut), nullptr);
    }
}

TEST(CommandTreeTest, AHostilelyDeepTreeIsRefused) {
    // Folder after folder, each claiming one child: nesting beyond any real tree.
    CArchive storing;
    CCommandTree inner("x");
    for (int depth = 0; depth < 200; ++depth) {
        auto outer = std::make_unique<CCommandTree>("x");
        outer->AddTail(std::make_unique<CCommandTree>(std::move(inner)));
        inner = std::move(*outer);
    }
    WriteObject(storing, &inner);
    CArchive loading(storing.Data());
    EXPECT_EQ(ReadObjectAs<CCommandTree>(loading), nullptr);
    EXPECT_TRUE(loading.Failed());
}

TEST(CatalogueTreeTest, FamilyFoldersHoldCopiesOfThePrototypes) {
    TinyFamily family;
    CCommandTree folder;
    family.BuildTree(folder);
    EXPECT_EQ(folder.GetName(), "Tiny");
    ASSERT_EQ(folder.GetChildren().size(), family.GetPrototypeCount());
    auto* move = dynamic_cast<CKelStandardCommand*>(folder.FindCommand("MoveAbsolute"));
    ASSERT_NE(move, nullptr);
    EXPECT_NE(move, family.GetPrototype("MoveAbsolute"));
    EXPECT_EQ(move->GetOwner(), &family);
    const int32_t position = 77;
    move->SetSendValue(0, &position, 4);
    EXPECT_NE(family.GetPrototype("MoveAbsolute")->Wire().GetSendValue(0)[0], 77);
}

TEST(CatalogueTreeTest, TheKelCommandsTreeHasItsThreeFoldersInOrder) {
    TinyFamily family;
    CCommandFamily* families[] = {&family};
    CCustomerCommandSets sets;
    auto set = std::make_unique<CCustomerCommandSet>("Acme");
    auto pump = std::make_unique<CKelCustomerCommand>();
    pump->SetCommand("Pump", 0xA1, 0, 0);
    set->AddCommand(std::move(pump));
    ASSERT_TRUE(sets.Add(set));
    CBatchCommandStore store;
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Cycle");
    ASSERT_TRUE(store.Add(batch));

    CCommandTree root;
    BuildKelCommandsTree(root, families, sets, store);
    EXPECT_EQ(root.GetName(), "KelCommands");
    ASSERT_EQ(root.GetChildren().size(), 3u);
    EXPECT_EQ(root.GetChildren()[0]->GetName(), "Standard Commands");
    EXPECT_EQ(root.GetChildren()[1]->GetName(), "Customer Commands");
    EXPECT_EQ(root.GetChildren()[2]->GetName(), "Batch Commands");
    auto* customer = dynamic_cast<CCommandTree*>(root.GetChildren()[1].get());
    ASSERT_EQ(customer->GetChildren().size(), 1u);
    EXPECT_EQ(customer->GetChildren()[0]->GetName(), "Acme");
    CCommand* pumpCopy = root.FindCommand("Pump");
    ASSERT_NE(pumpCopy, nullptr);
    EXPECT_NE(pumpCopy, sets.GetSets()[0]->GetCommands()[0].get());
    ASSERT_NE(root.FindCommand("Cycle"), nullptr);
    EXPECT_NE(root.FindCommand("Cycle"), store.Find("Cycle"));
}

TEST(CatalogueTreeTest, FamilyFoldersFollowTheCatalogueOrder) {
    const auto order = StandardFamilyOrder();
    ASSERT_EQ(order.size(), 12u);
    EXPECT_STREQ(order[0], "Exception");
    EXPECT_STREQ(order[6], "Miscellanous Functions");
    EXPECT_STREQ(order[7], "RS232 Input/Output");
    EXPECT_STREQ(order[11], "UserParameter");
}

}  // namespace
}  // namespace kelcmd::testing
