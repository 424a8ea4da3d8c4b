#pragma once

#include <QStringList>

class QWidget;

namespace kelcmd {
class CCustomerCommandSets;
}

namespace kelcmd::dialogs {

inline constexpr const char* kCustomerSetFilter = "Customer Command Set (*.ccs)";

// "Customer Command Sets" on a copy of the store; the store is replaced on "&OK". True on OK.
bool EditCustomerCommandSets(CCustomerCommandSets& store, QWidget* parent);

// A file-open dialog (multiple, "Customer Command Set (*.ccs)") loading into the store with
// the messages of the files that are not added. Returns how many sets were added.
int LoadCustomerCommandSets(CCustomerCommandSets& store, QWidget* parent);

// LoadCustomerCommandSets after the file dialog: the chosen files into the store.
int LoadCustomerSetFiles(const QStringList& paths, CCustomerCommandSets& store);

}  // namespace kelcmd::dialogs
