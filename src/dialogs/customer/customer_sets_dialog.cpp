#include "dialogs/customer/customer_sets_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/customer/customer_set_dialog.h"
#include "dialogs/customer/customer_set_dialogs.h"
#include "dialogs/customer/list_widgets.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/select_folder.h"

namespace kelcmd::dialogs {

CustomerCommandSetsDialog::CustomerCommandSetsDialog(const CCustomerCommandSets& store,
                                                     QWidget* parent)
    : QDialog(parent),
      editor_(store),
      sets_(NewList("Defined Customer Command Sets", {"Customer Name", "Number of Commands"})) {
    setObjectName("customer_command_sets");
    setWindowTitle("Customer Command Sets");
    connect(sets_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { EditSet(sets_->indexOfTopLevelItem(item)); });

    auto* buttons = new QVBoxLayout;
    connect(AddButton("&Add Set", *buttons), &QPushButton::clicked, this, [this] { AddSet(); });
    connect(AddButton("&Edit Set", *buttons), &QPushButton::clicked, this,
            [this] { EditSet(SelectedRow(*sets_)); });
    connect(AddButton("&Delete Set", *buttons), &QPushButton::clicked, this, [this] {
        const int row = SelectedRow(*sets_);
        if (row < 0) return;
        editor_.Delete(static_cast<size_t>(row));
        Fill(row);
    });
    connect(AddButton("D&elete All", *buttons), &QPushButton::clicked, this, [this] {
        editor_.DeleteAll();
        Fill(-1);
    });
    connect(AddButton("&Load Set", *buttons), &QPushButton::clicked, this, [this] {
        LoadSets(QFileDialog::getOpenFileNames(this, "Load Set", QString(), kCustomerSetFilter));
    });
    connect(AddButton("&Store All", *buttons), &QPushButton::clicked, this, [this] {
        const QString folder = SelectFolder(this);
        if (!folder.isEmpty()) StoreAll(folder);
    });
    buttons->addStretch(1);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(NewFieldLabel("Defined Customer Command Sets", *sets_));
    listColumn->addWidget(sets_, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    AddClosingRow(*this, *layout, "&Cancel", [this] { accept(); });
    Fill(0);
}

void CustomerCommandSetsDialog::Fill(int selectRow) {
    sets_->clear();
    for (const auto& set : editor_.Sets()) {
        auto* item = new QTreeWidgetItem(sets_);
        item->setText(0, QString::fromStdString(set->GetClientName()));
        item->setText(1, QString::number(set->GetCommands().size()));
    }
    SelectRow(*sets_, selectRow);
}

void CustomerCommandSetsDialog::AddSet() {
    CustomerCommandSetDialog dialog(CCustomerCommandSet(), editor_.NamesExcept(std::nullopt), this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (Tell(editor_.Add(dialog.Set()))) return;
    Fill(static_cast<int>(editor_.Sets().size()) - 1);
}

void CustomerCommandSetsDialog::EditSet(int row) {
    if (row < 0 || static_cast<size_t>(row) >= editor_.Sets().size()) return;
    const auto index = static_cast<size_t>(row);
    CustomerCommandSetDialog dialog(*editor_.Sets()[index], editor_.NamesExcept(index), this);
    if (dialog.exec() != QDialog::Accepted) return;
    Tell(editor_.Replace(index, dialog.Set()));
    Fill(row);
}

void CustomerCommandSetsDialog::LoadSets(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    for (const std::string& message : editor_.Load(files).messages) Tell(message);
    Fill(static_cast<int>(editor_.Sets().size()) - 1);
}

void CustomerCommandSetsDialog::StoreAll(const QString& folder) {
    for (const std::string& message : editor_.StoreAll(folder.toStdString())) Tell(message);
}

}  // namespace kelcmd::dialogs
