#pragma once

#include <span>

#include "command/command_tree.h"

namespace kelcmd {

class CBatchCommandStore;
class CCommandFamily;
class CCustomerCommandSets;

// The order of the family folders in "Standard Commands", by the families' display names.
std::span<const char* const> StandardFamilyOrder();

// "Standard Commands": one folder per family in the order above (families with another name
// follow in the order given), each filled by the family.
void BuildStandardCommandsTree(CCommandTree& folder, std::span<CCommandFamily* const> families);
// "Customer Commands": one folder per set, named by its client, with a copy of each command.
void BuildCustomerCommandsTree(CCommandTree& folder, const CCustomerCommandSets& sets);
// "Batch Commands": one leaf per batch of the store, each a copy.
void BuildBatchCommandsTree(CCommandTree& folder, const CBatchCommandStore& store);
// "KelCommands": the three trees above as folders.
void BuildKelCommandsTree(CCommandTree& folder, std::span<CCommandFamily* const> families,
                          const CCustomerCommandSets& sets, const CBatchCommandStore& store);

}  // namespace kelcmd
