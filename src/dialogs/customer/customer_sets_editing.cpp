#include "dialogs/customer/customer_sets_editing.h"

#include "command/command_files.h"
#include "dialogs/customer/customer_set_editing.h"

namespace kelcmd::dialogs {

SetLoadOutcome LoadSetFiles(const std::vector<std::string>& paths, CCustomerCommandSets& sets) {
    SetLoadOutcome outcome;
    for (const std::string& path : paths) {
        std::string name;
        const FileStatus status = ReadCustomerSetFile(path, sets, &name);
        if (status == FileStatus::kOk) {
            ++outcome.added;
        } else {
            outcome.messages.push_back(CustomerFileMessage(status, name, path));
        }
    }
    return outcome;
}

CustomerSetsEditor::CustomerSetsEditor(const CCustomerCommandSets& store)
    : ports_(store.GetPortList()), sets_(store.Copy()) {}

std::vector<std::string> CustomerSetsEditor::NamesExcept(std::optional<size_t> index) const {
    std::vector<std::string> names;
    for (size_t i = 0; i < sets_.size(); ++i) {
        if (i != index) names.push_back(sets_[i]->GetClientName());
    }
    return names;
}

std::string CustomerSetsEditor::Add(const CCustomerCommandSet& set) {
    return Replace(sets_.size(), set);
}

std::string CustomerSetsEditor::Replace(size_t index, const CCustomerCommandSet& set) {
    if (index > sets_.size()) return "";
    for (const std::string& name : NamesExcept(index)) {
        if (name == set.GetClientName()) return ClientLoadedText(name);
    }
    auto copy = std::make_unique<CCustomerCommandSet>(set);
    if (index == sets_.size()) {
        sets_.push_back(std::move(copy));
    } else {
        sets_[index] = std::move(copy);
    }
    return "";
}

void CustomerSetsEditor::Delete(size_t index) {
    if (index < sets_.size()) sets_.erase(sets_.begin() + static_cast<std::ptrdiff_t>(index));
}

SetLoadOutcome CustomerSetsEditor::Load(const std::vector<std::string>& paths) {
    // Read into a holder of the edited list, so that names are checked against what the user
    // sees.
    CCustomerCommandSets edited(ports_);
    edited.Replace(sets_);
    SetLoadOutcome outcome = LoadSetFiles(paths, edited);
    sets_ = edited.Copy();
    return outcome;
}

std::vector<std::string> CustomerSetsEditor::StoreAll(const std::string& folder) const {
    std::vector<std::string> messages;
    for (const auto& set : sets_) {
        const std::string& name = set->GetClientName();
        const std::string path = folder + "/" + name + ".ccs";
        // A '/' in a name would write into another folder.
        const bool plainName = name.find_first_of(std::string("/\0", 2)) == std::string::npos;
        if (!plainName || WriteCustomerSetFile(path, *set) != FileStatus::kOk) {
            messages.push_back(CustomerFileMessage(FileStatus::kOpenFailed, name, path));
        }
    }
    return messages;
}

}  // namespace kelcmd::dialogs
