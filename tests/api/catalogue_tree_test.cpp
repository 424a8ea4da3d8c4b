// The catalogue tree of the process's manager: every family's folder, in the fixed order.
#include <gtest/gtest.h>

#include "api/families.h"
#include "command/command_tree.h"

namespace kelcmd {
namespace {

TEST(CatalogueTree, StandardCommandsHoldEveryFamilyInOrder) {
    CCommandTree root;
    Families().BuildCommandTree(root);
    EXPECT_EQ(root.GetName(), "KelCommands");
    ASSERT_EQ(root.GetChildren().size(), 3u);
    const auto* standard = dynamic_cast<const CCommandTree*>(root.GetChildren()[0].get());
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->GetName(), "Standard Commands");
    EXPECT_EQ(root.GetChildren()[1]->GetName(), "Customer Commands");
    EXPECT_EQ(root.GetChildren()[2]->GetName(), "Batch Commands");

    const std::vector<std::string> expected = {"Exception",
                                               "Status",
                                               "SystemParameter",
                                               "MotionControl",
                                               "MotionInfo",
                                               "InputOutput",
                                               "Miscellanous Functions",
                                               "RS232 Input/Output",
                                               "Multi Axes",
                                               "Autotuning",
                                               "Recording",
                                               "UserParameter"};
    ASSERT_EQ(standard->GetChildren().size(), expected.size());
    size_t leaves = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto* folder = dynamic_cast<const CCommandTree*>(standard->GetChildren()[i].get());
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(folder->GetName(), expected[i]);
        leaves += folder->GetChildren().size();
    }
    size_t prototypes = 0;
    for (CCommandFamily* family : Families().InOrder()) prototypes += family->GetPrototypeCount();
    EXPECT_EQ(leaves, prototypes);
}

}  // namespace
}  // namespace kelcmd
