#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command/customer_command_sets.h"

namespace kelcmd::dialogs {

// What loading several ".ccs" files did: how many sets were added, and the message of every file
// that was not, in file order.
struct SetLoadOutcome {
    int added = 0;
    std::vector<std::string> messages;
};

// Reads each file into `sets`. A file that cannot be read, has another version ("File Version is
// too old!"), is malformed, or holds a client that `sets` has ("Client '…' is already loaded!")
// is skipped with its message; the others are appended in order.
SetLoadOutcome LoadSetFiles(const std::vector<std::string>& paths, CCustomerCommandSets& sets);

// The edits of the "Customer Command Sets" dialog without its widgets, on a copy of a store's
// list. Client names stay unique within the list, so "&Store All" writes one file per set.
class CustomerSetsEditor {
  public:
    explicit CustomerSetsEditor(const CCustomerCommandSets& store);

    const std::vector<std::unique_ptr<CCustomerCommandSet>>& Sets() const { return sets_; }
    // The client names a set may not take: those of every set but `index` (all for a new set).
    std::vector<std::string> NamesExcept(std::optional<size_t> index) const;

    // Appends a set, or puts it in place of set `index`. The loaded message when another set has
    // its client name; nothing changes then.
    std::string Add(const CCustomerCommandSet& set);
    std::string Replace(size_t index, const CCustomerCommandSet& set);
    void Delete(size_t index);
    void DeleteAll() { sets_.clear(); }
    SetLoadOutcome Load(const std::vector<std::string>& paths);

    // Writes every set to folder/clientName.ccs, overwriting. The messages of the sets that could
    // not be written: a client name that is no plain file name is never used as a path.
    std::vector<std::string> StoreAll(const std::string& folder) const;

    // "&OK": the store's list becomes the edited one.
    void HandBack(CCustomerCommandSets& store) const { store.Replace(sets_); }

  private:
    CKelCommunication* ports_;
    std::vector<std::unique_ptr<CCustomerCommandSet>> sets_;
};

}  // namespace kelcmd::dialogs
