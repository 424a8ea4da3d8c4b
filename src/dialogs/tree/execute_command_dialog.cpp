#include "dialogs/tree/execute_command_dialog.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "api/communication.h"
#include "command/catalogue_trees.h"
#include "command/command_clipboard.h"
#include "command/kel_standard_command.h"
#include "command/send_values.h"
#include "dialogs/clipboard/clipboard_texts.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/enter_key.h"
#include "dialogs/tree/command_tree_view.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

// Long commands run behind the wait window; others as the command executes itself.
int Run(CCommand& command) {
    auto* standard = dynamic_cast<CKelStandardCommand*>(&command);
    if (standard != nullptr && standard->GetOwner() != nullptr) {
        return ExecuteCommand(*standard->GetOwner(), *standard);
    }
    return command.Execute();
}

}  // namespace

ExecuteTreeDialog::ExecuteTreeDialog(const QString& title, const QString& executeLabel,
                                     std::string portName, uint8_t slave, QWidget* parent)
    : QDialog(parent),
      tree_(NewCommandTreeView()),
      buttons_(new QHBoxLayout),
      portName_(std::move(portName)),
      slave_(slave) {
    setWindowTitle(title);
    auto* group = new QGroupBox("Commands");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(tree_);
    tree_->setMinimumSize(320, 360);
    tree_->installEventFilter(this);
    auto* execute = new QPushButton(executeLabel);
    execute->setObjectName("execute");
    AddButton(execute);
    connect(execute, &QPushButton::clicked, this, [this] { ExecuteSelected(); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] { ExecuteSelected(); });
    tree_->SetRowResolver([this](const QTreeWidgetItem* row) { return ResolveRow(row); });
    AddClipboardActions();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group, 1);
    auto* column = new QVBoxLayout;
    column->addLayout(buttons_);
    column->addStretch();
    layout->addLayout(column);
}

void ExecuteTreeDialog::AddClipboardActions() {
    auto* copy = new QAction("&Copy", tree_);
    copy->setObjectName("copy");
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { CopySelected(); });
    auto* paste = new QAction("&Paste", tree_);
    paste->setObjectName("paste");
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    connect(paste, &QAction::triggered, this, [this] { PasteCommand(); });
    tree_->addAction(copy);
    tree_->addAction(paste);
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool ExecuteTreeDialog::CopySelected() {
    const CCommand* command = tree_->CommandAt(tree_->currentItem());
    if (command == nullptr) {
        CurrentPrompt().ShowMessage(kNoCommandSelected);
        return false;
    }
    if (command->CopyToClipboard() == 0) {
        CurrentPrompt().ShowMessage(kCopyFailed);
        return false;
    }
    return true;
}

QTreeWidgetItem* ExecuteTreeDialog::FindRow(const CCommand& like) const {
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        const CCommand* command = tree_->CommandAt(*it);
        if (command != nullptr && command->GetRuntimeClass() == like.GetRuntimeClass() &&
            CCommandTreeItem::SameName(command->GetName(), like.GetName())) {
            return *it;
        }
    }
    return nullptr;
}

bool ExecuteTreeDialog::PasteCommand() {
    const std::unique_ptr<CKelCommand> pasted = kelcmd::PasteCommand(&Communication());
    if (pasted == nullptr) {
        CurrentPrompt().ShowMessage(kNoCommandOnClipboard);
        return false;
    }
    QTreeWidgetItem* row = FindRow(*pasted);
    if (row == nullptr) {
        CurrentPrompt().ShowMessage(NoMatchingCommand(pasted->GetName()));
        return false;
    }
    TakeSendValues(*tree_->CommandAt(row), *pasted);
    tree_->setFocus();
    tree_->setCurrentItem(row);
    tree_->scrollToItem(row);
    return true;
}

void ExecuteTreeDialog::AddButton(QPushButton* button) {
    // Enter on a button closes the dialog rather than pressing it.
    button->setAutoDefault(false);
    button->setDefault(false);
    buttons_->addWidget(button);
}

void ExecuteTreeDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ExecuteTreeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && IsEnterKey(event)) {
        ExecuteSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ExecuteTreeDialog::ExecuteSelected() {
    QTreeWidgetItem* row = tree_->currentItem();
    if (row == nullptr) return;
    if (CCommand* command = ResolveRow(row)) {
        command->SetPortName(portName_);
        command->SetDestination(slave_);
        if (command->EditParameters() != 0) {
            if (Run(*command) == 0) {
                CurrentPrompt().ShowMessage(kCommandFailed);
            } else if (command->ShowResults() == 0 && *ResultFailureText() != '\0') {
                CurrentPrompt().ShowMessage(ResultFailureText());
            }
            Q_EMIT CommandExecuted(*command);
        }
    }
    tree_->setFocus();
    tree_->setCurrentItem(row);
}

ExecuteStandardCommandsDialog::ExecuteStandardCommandsDialog(
    std::span<CCommandFamily* const> families, std::string portName, uint8_t slave, QWidget* parent)
    : ExecuteTreeDialog("Execute Command", "&Execute", std::move(portName), slave, parent) {
    setObjectName("execute_command");
    auto* exit = new QPushButton("&Exit");
    exit->setObjectName("ok");
    AddButton(exit);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    BuildStandardCommandsTree(commands_, families);
    InsertIntoTreeView(Tree(), commands_, nullptr, false);
    SelectFirstRow(Tree());
}

CCommand* ExecuteStandardCommandsDialog::ResolveRow(const QTreeWidgetItem* row) {
    return CommandOfRow(row);
}

}  // namespace kelcmd::dialogs
