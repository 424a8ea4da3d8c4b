#include "dialogs/tree/execute_customer_dialog.h"

#include <QFileDialog>
#include <QPushButton>
#include <QTreeWidget>

#include "command/command_files.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/tree/command_tree_view.h"

namespace kelcmd::dialogs {

ExecuteCustomerCommandsDialog::ExecuteCustomerCommandsDialog(CCustomerCommandSets& store,
                                                             std::string portName, uint8_t slave,
                                                             QWidget* parent)
    : ExecuteTreeDialog("Execute Client Command", "E&xecute", std::move(portName), slave, parent),
      store_(store),
      clients_(store.GetPortList()) {
    setObjectName("execute_client_command");
    auto* load = new QPushButton("&Load Clients");
    load->setObjectName("load_clients");
    auto* deleteAll = new QPushButton("Delete &All");
    deleteAll->setObjectName("delete_all");
    auto* exit = new QPushButton("&Exit");
    exit->setObjectName("ok");
    for (QPushButton* button : {load, deleteAll, exit}) AddButton(button);
    connect(load, &QPushButton::clicked, this, [this] {
        LoadClients(QFileDialog::getOpenFileNames(this, "Load Clients", QString(),
                                                  "Client Command Set (*.ccs)"));
    });
    connect(deleteAll, &QPushButton::clicked, this, [this] { DeleteAll(); });
    connect(exit, &QPushButton::clicked, this, [this] { Exit(); });
    clients_.Replace(store.GetSets());
    Rebuild();
}

void ExecuteCustomerCommandsDialog::Rebuild() {
    Tree().clear();
    quintptr number = 0;
    for (const auto& client : clients_.GetSets()) {
        QTreeWidgetItem* folder =
            AddTreeRow(Tree(), nullptr, QString::fromStdString(client->GetClientName()),
                       kFolderIcon, kFolderIcon, 0);
        for (const auto& command : client->GetCommands()) {
            AddTreeRow(Tree(), folder, QString::fromStdString(command->GetName()), kCommandIcon,
                       kSelectedCommandIcon, ++number);
        }
    }
    SelectFirstRow(Tree());
}

void ExecuteCustomerCommandsDialog::LoadClients(const QStringList& paths) {
    // Each failure (bad type, old version, client already loaded) shows its own message.
    for (const QString& path : paths) LoadCustomerSetFromPath(path.toStdString(), clients_);
    Rebuild();
}

void ExecuteCustomerCommandsDialog::DeleteAll() {
    clients_.RemoveAll();
    Tree().clear();
}

void ExecuteCustomerCommandsDialog::Exit() {
    store_.Replace(clients_.GetSets());
    accept();
}

CCommand* ExecuteCustomerCommandsDialog::ResolveRow(const QTreeWidgetItem* row) {
    quintptr number = row->data(0, kItemDataRole).value<quintptr>();
    if (number == 0) return nullptr;
    for (const auto& client : clients_.GetSets()) {
        for (const auto& command : client->GetCommands()) {
            if (--number == 0) return command.get();
        }
    }
    return nullptr;
}

const char* ExecuteCustomerCommandsDialog::ResultFailureText() const {
    return kFailedShowingResults;
}

}  // namespace kelcmd::dialogs
