#include "dialogs/customer/customer_set_dialogs.h"

#include <QFileDialog>

#include "dialogs/customer/customer_sets_dialog.h"
#include "dialogs/customer/list_widgets.h"

namespace kelcmd::dialogs {

bool EditCustomerCommandSets(CCustomerCommandSets& store, QWidget* parent) {
    CustomerCommandSetsDialog dialog(store, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Editor().HandBack(store);
    return true;
}

int LoadCustomerCommandSets(CCustomerCommandSets& store, QWidget* parent) {
    return LoadCustomerSetFiles(
        QFileDialog::getOpenFileNames(parent, "Load Set", QString(), kCustomerSetFilter), store);
}

int LoadCustomerSetFiles(const QStringList& paths, CCustomerCommandSets& store) {
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    const SetLoadOutcome outcome = LoadSetFiles(files, store);
    for (const std::string& message : outcome.messages) Tell(message);
    return outcome.added;
}

}  // namespace kelcmd::dialogs
