// Archives create the command layer's classes by the names they were stored under.
#include "command/command_classes.h"

#include <gtest/gtest.h>

#include "archive/class_registry.h"
#include "command/command.h"
#include "command/command_tree.h"
#include "command/kel_batch_command.h"
#include "command/kel_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"

namespace kelcmd {
namespace {

TEST(CommandClassesTest, EveryStoredClassIsCreatedByItsName) {
    RegisterCommandClasses();
    RegisterCommandClasses();  // a second call changes nothing
    struct Case {
        const char* name;
        const CRuntimeClass* runtimeClass;
    };
    const Case cases[] = {
        {"CCommand", CCommand::StaticClass()},
        {"CKelCommand", CKelCommand::StaticClass()},
        {"CKelStandardCommand", CKelStandardCommand::StaticClass()},
        {"CKelCustomerCommand", CKelCustomerCommand::StaticClass()},
        {"CKelBatchCommand", CKelBatchCommand::StaticClass()},
        {"CCommandTreeItem", CCommandTreeItem::StaticClass()},
        {"CCommandTree", CCommandTree::StaticClass()},
        {"CCommandTreeLeaf", CCommandTreeLeaf::StaticClass()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindClass(c.name), c.runtimeClass);
    }
    // The layer's names cannot be taken over by another class.
    static const CRuntimeClass impostor{"CKelCommand", 1, CObject::StaticClass(), nullptr};
    EXPECT_FALSE(RegisterClass(&impostor));
}

}  // namespace
}  // namespace kelcmd
