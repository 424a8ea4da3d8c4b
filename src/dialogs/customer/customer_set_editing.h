#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "command/customer_command_sets.h"

namespace kelcmd::dialogs {

// The message for a client name that another set of the list already has. Two sets of one name
// would be stored into the same file, one overwriting the other.
std::string ClientLoadedText(const std::string& clientName);

// The edits of the "Customer Command Set" dialog without its widgets, on a copy of the set.
class CustomerSetEditor {
  public:
    // `takenNames`: the client names of the other sets of the list, which this one may not take.
    CustomerSetEditor(const CCustomerCommandSet& set, std::vector<std::string> takenNames);

    const CCustomerCommandSet& Set() const { return set_; }
    void SetClientName(std::string name) { set_.SetClientName(std::move(name)); }

    // Appends the command, or puts it in place of command `index`. "Name already exists!" when
    // another command of the set has its name; nothing changes then.
    std::string AddCommand(std::unique_ptr<CKelCustomerCommand> command);
    std::string ReplaceCommand(size_t index, std::unique_ptr<CKelCustomerCommand> command);
    void DeleteCommand(size_t index);
    void DeleteAll() { set_.Commands().clear(); }

    // What "&OK" checks: "Enter a name!" for an empty client name, the loaded message for a
    // name another set has; "" when the set may be taken.
    std::string Check() const;

  private:
    bool NameTaken(const std::string& name, size_t except) const;

    CCustomerCommandSet set_;
    std::vector<std::string> takenNames_;
};

}  // namespace kelcmd::dialogs
