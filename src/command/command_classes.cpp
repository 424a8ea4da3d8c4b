#include "command/command_classes.h"

#include "archive/class_registry.h"
#include "command/command.h"
#include "command/command_tree.h"
#include "command/kel_batch_command.h"
#include "command/kel_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"

namespace kelcmd {

namespace {

// Every class of this layer that archives may name. New serialisable classes are added here.
bool RegisterAll() {
    const CRuntimeClass* classes[] = {
        CCommand::StaticClass(),
        CKelCommand::StaticClass(),
        CKelStandardCommand::StaticClass(),
        CKelCustomerCommand::StaticClass(),
        CKelBatchCommand::StaticClass(),
        CCommandTreeItem::StaticClass(),
        CCommandTree::StaticClass(),
        CCommandTreeLeaf::StaticClass(),
    };
    for (const CRuntimeClass* runtimeClass : classes) RegisterClass(runtimeClass);
    return true;
}

}  // namespace

void RegisterCommandClasses() {
    [[maybe_unused]] static const bool registered = RegisterAll();
}

}  // namespace kelcmd
