#pragma once

#include "command/customer_command_sets.h"
#include "dialogs/tree/execute_command_dialog.h"

namespace kelcmd::dialogs {

// "Execute Client Command": the commands of the loaded customer command sets, one folder per
// client. The dialog works on its own copy of the sets; the store takes that copy only on "&Exit".
class ExecuteCustomerCommandsDialog : public ExecuteTreeDialog {
    Q_OBJECT
  public:
    ExecuteCustomerCommandsDialog(CCustomerCommandSets& store, std::string portName, uint8_t slave,
                                  QWidget* parent = nullptr);

    // Reads each ".ccs" file into the dialog's copy (the file's message on failure, a client
    // already in the list is refused) and rebuilds the tree.
    void LoadClients(const QStringList& paths);
    void DeleteAll();
    const CCustomerCommandSets& Clients() const { return clients_; }

  protected:
    CCommand* ResolveRow(const QTreeWidgetItem* row) override;
    const char* ResultFailureText() const override;

  private:
    void Rebuild();
    void Exit();
    CCustomerCommandSets& store_;
    CCustomerCommandSets clients_;
};

}  // namespace kelcmd::dialogs
