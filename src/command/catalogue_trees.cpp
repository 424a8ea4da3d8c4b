#include "command/catalogue_trees.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "command/batch_command_store.h"
#include "command/command_family.h"
#include "command/customer_command_sets.h"

namespace kelcmd {

namespace {

// The folder names are stored exactly so, "Miscellanous Functions" included.
constexpr std::array<const char*, 12> kFamilyOrder{
    "Exception",
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
    "UserParameter",
};

size_t OrderOf(const CCommandFamily* family) {
    auto found = std::find_if(kFamilyOrder.begin(), kFamilyOrder.end(),
                              [&](const char* name) { return family->GetDisplayName() == name; });
    return static_cast<size_t>(found - kFamilyOrder.begin());
}

}  // namespace

std::span<const char* const> StandardFamilyOrder() {
    return kFamilyOrder;
}

void BuildStandardCommandsTree(CCommandTree& folder, std::span<CCommandFamily* const> families) {
    folder.SetName("Standard Commands");
    std::vector<CCommandFamily*> ordered;
    for (CCommandFamily* family : families) {
        if (family != nullptr) ordered.push_back(family);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return OrderOf(a) < OrderOf(b); });
    for (CCommandFamily* family : ordered) {
        auto sub = std::make_unique<CCommandTree>();
        family->BuildTree(*sub);
        folder.AddTail(std::move(sub));
    }
}

void BuildCustomerCommandsTree(CCommandTree& folder, const CCustomerCommandSets& sets) {
    folder.SetName("Customer Commands");
    for (const auto& set : sets.GetSets()) {
        auto client = std::make_unique<CCommandTree>(set->GetClientName());
        for (const auto& command : set->GetCommands()) {
            auto leaf = std::make_unique<CCommandTreeLeaf>();
            leaf->SetCommand(std::make_unique<CKelCustomerCommand>(*command));
            client->AddTail(std::move(leaf));
        }
        folder.AddTail(std::move(client));
    }
}

void BuildBatchCommandsTree(CCommandTree& folder, const CBatchCommandStore& store) {
    folder.SetName("Batch Commands");
    for (const auto& batch : store.GetBatches()) {
        auto leaf = std::make_unique<CCommandTreeLeaf>();
        leaf->SetCommand(std::make_unique<CKelBatchCommand>(*batch));
        folder.AddTail(std::move(leaf));
    }
}

void BuildKelCommandsTree(CCommandTree& folder, std::span<CCommandFamily* const> families,
                          const CCustomerCommandSets& sets, const CBatchCommandStore& store) {
    folder.SetName("KelCommands");
    auto standard = std::make_unique<CCommandTree>();
    BuildStandardCommandsTree(*standard, families);
    auto customer = std::make_unique<CCommandTree>();
    BuildCustomerCommandsTree(*customer, sets);
    auto batches = std::make_unique<CCommandTree>();
    BuildBatchCommandsTree(*batches, store);
    folder.AddTail(std::move(standard));
    folder.AddTail(std::move(customer));
    folder.AddTail(std::move(batches));
}

}  // namespace kelcmd
