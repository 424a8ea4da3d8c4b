#include "dialogs/customer/list_widgets.h"

#include <QBoxLayout>
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/toolkit/object_names.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {

QTreeWidget* NewList(const std::string& label, const QStringList& columns) {
    auto* list = new QTreeWidget;
    list->setObjectName(ObjectNameFor(label));
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(columns);
    list->header()->setStretchLastSection(true);
    return list;
}

QPushButton* AddButton(const std::string& label, QBoxLayout& layout) {
    auto* button = new QPushButton(QString::fromStdString(label));
    button->setObjectName(ObjectNameFor(label));
    button->setAutoDefault(false);
    layout.addWidget(button);
    return button;
}

int SelectedRow(const QTreeWidget& list) {
    QTreeWidgetItem* item = list.currentItem();
    return item == nullptr ? -1 : list.indexOfTopLevelItem(item);
}

void FitColumns(QTreeWidget& list) {
    constexpr int kGap = 16;  // keeps one column's text clear of the next
    for (int column = 0; column + 1 < list.columnCount(); ++column) {
        list.resizeColumnToContents(column);
        list.setColumnWidth(column, list.columnWidth(column) + kGap);
    }
}

void SelectRow(QTreeWidget& list, int row) {
    FitColumns(list);
    const int count = list.topLevelItemCount();
    if (count == 0) return;
    list.setCurrentItem(list.topLevelItem(std::clamp(row, 0, count - 1)));
}

bool Tell(const std::string& message) {
    if (message.empty()) return false;
    CurrentPrompt().ShowMessage(message);
    return true;
}

void AddClosingRow(QDialog& dialog, QBoxLayout& layout, const std::string& cancelLabel,
                   std::function<void()> onOk) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* ok = AddButton("&OK", *row);
    ok->setDefault(true);
    QPushButton* cancel = AddButton(cancelLabel, *row);
    cancel->setObjectName("cancel");  // whatever its label, tests and callers know it so
    layout.addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

}  // namespace kelcmd::dialogs
