#pragma once

#include <QStringList>
#include <functional>
#include <string>

class QBoxLayout;
class QDialog;
class QPushButton;
class QTreeWidget;

namespace kelcmd::dialogs {

// The pieces the customer set editors share: flat lists with full-row selection, buttons named
// after their labels that never act as default, and the closing row.
QTreeWidget* NewList(const std::string& label, const QStringList& columns);
QPushButton* AddButton(const std::string& label, QBoxLayout& layout);
// The selected row of a flat list, or -1.
int SelectedRow(const QTreeWidget& list);
// Every column but the last fits its texts (the last takes what is left).
void FitColumns(QTreeWidget& list);
// After a fill: fits the columns and selects row `row`, clamped into the list (none when empty).
void SelectRow(QTreeWidget& list, int row);
// Shows a message unless it is empty; true when one was shown.
bool Tell(const std::string& message);
// "&OK" (the default button, running `onOk`) and the cancel button with its label, at the right.
void AddClosingRow(QDialog& dialog, QBoxLayout& layout, const std::string& cancelLabel,
                   std::function<void()> onOk);

}  // namespace kelcmd::dialogs
