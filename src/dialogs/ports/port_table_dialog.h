#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "dialogs/ports/port_table.h"

class QPushButton;
class QTreeWidget;

namespace kelcmd::dialogs {

// "Communication Port Info & Test": the port table with "Status", "Port", "Baudrate",
// "BusControl", "Timeout", "R-Trials" and the buttons that work on the selected row. With the
// read-only switch on, the buttons that change the table are disabled. Enter in the list
// configures the selected port; Enter elsewhere closes the dialog.
class PortTableDialog : public QDialog {
    Q_OBJECT

  public:
    PortTableDialog(PortTableActions& actions, bool readOnly, QWidget* parent = nullptr);

    QTreeWidget* List() const { return list_; }
    QPushButton* Button(const std::string& objectName) const;
    // The "Port" text of the selected row, or empty.
    std::string SelectedPort() const;
    // Rewrites every row from the port table and selects the row of `name` (none: keeps the
    // row index, or the last row when it is gone).
    void Refresh(const std::string& select = {});

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPushButton* AddButton(const QString& text, const std::function<void()>& action);
    void SelectRow(int row);
    void SizeColumns();

    PortTableActions& actions_;
    QTreeWidget* list_ = nullptr;
    std::map<std::string, QPushButton*> buttons_;
};

// What the dialog shows when the "Communication" dialog is wanted for a state.
bool ExecCommunicationDialog(CommunicationState& state, QWidget* parent);

}  // namespace kelcmd::dialogs
