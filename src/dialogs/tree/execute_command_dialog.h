#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "command/command_tree.h"

class QBoxLayout;
class QPushButton;
class QTreeWidgetItem;

namespace kelcmd {
class CCommand;
class CCommandFamily;
}  // namespace kelcmd

namespace kelcmd::dialogs {

class CommandTreeWidget;

// The frame of the execute dialogs: group "Commands" with a command tree and a row of buttons.
// Executing a row (its button, a double-click, or Enter while the tree has the focus) binds the
// command to the dialog's port and slave, edits, executes and shows its results. Enter anywhere
// else closes the dialog as "&Exit" does (OK); Escape and the close box reject. A command row
// can be copied to the clipboard (Ctrl+C, "&Copy") and dragged; a command pasted (Ctrl+V,
// "&Paste") gives its send values to the tree's command of the same name and class.
class ExecuteTreeDialog : public QDialog {
    Q_OBJECT
  public:
    ExecuteTreeDialog(const QString& title, const QString& executeLabel, std::string portName,
                      uint8_t slave, QWidget* parent = nullptr);

    CommandTreeWidget& Tree() { return *tree_; }
    void ExecuteSelected();
    // The selected row's command onto the clipboard. False (with a message) when there is none or
    // the clipboard refuses it.
    bool CopySelected();
    // The clipboard's command into the tree: its send values go into the command of the same
    // name and class, whose row is selected. False (with a message, the tree unchanged) when the
    // clipboard holds no readable command or the tree none of that name.
    bool PasteCommand();

  Q_SIGNALS:
    // After every execution, successful or not: for the report of the last executed command.
    void CommandExecuted(const kelcmd::CCommand& command);

  protected:
    // The command of a row, or null when the row runs nothing.
    virtual CCommand* ResolveRow(const QTreeWidgetItem* row) = 0;
    // Shown when the result dialog fails; empty: nothing.
    virtual const char* ResultFailureText() const { return ""; }
    void AddButton(QPushButton* button);
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddClipboardActions();
    QTreeWidgetItem* FindRow(const CCommand& like) const;

    CommandTreeWidget* tree_;
    QBoxLayout* buttons_;
    std::string portName_;
    uint8_t slave_;
};

// "Execute Command": the twelve family folders of "Standard Commands" at top level.
class ExecuteStandardCommandsDialog : public ExecuteTreeDialog {
    Q_OBJECT
  public:
    ExecuteStandardCommandsDialog(std::span<CCommandFamily* const> families, std::string portName,
                                  uint8_t slave, QWidget* parent = nullptr);

  protected:
    CCommand* ResolveRow(const QTreeWidgetItem* row) override;

  private:
    CCommandTree commands_;
};

}  // namespace kelcmd::dialogs
