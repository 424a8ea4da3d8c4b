#include "dialogs/batch/batch_editor_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "api/communication.h"
#include "command/batch_command_store.h"
#include "command/catalogue_trees.h"
#include "command/command_clipboard.h"
#include "command/command_files.h"
#include "command/command_tree.h"
#include "command/customer_command_sets.h"
#include "dialogs/batch/command_drop_list.h"
#include "dialogs/clipboard/clipboard_texts.h"
#include "dialogs/clipboard/command_mime.h"
#include "dialogs/customer/customer_set_dialogs.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/select_folder.h"
#include "dialogs/tree/command_tree_view.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return CCommandTreeItem::SameName(a, b);
}

}  // namespace

// "KelBus Commands" with the standard and the customer commands; root and first child open.
void BatchEditorDialog::BuildAvailable() {
    available_->clear();
    commands_ = CCommandTree();
    commands_.SetName("KelBus Commands");
    auto standard = std::make_unique<CCommandTree>();
    BuildStandardCommandsTree(*standard, families_);
    auto customer = std::make_unique<CCommandTree>();
    BuildCustomerCommandsTree(*customer, customers_);
    commands_.AddTail(std::move(standard));
    commands_.AddTail(std::move(customer));
    InsertIntoTreeView(*available_, commands_, nullptr, true);
    available_->topLevelItem(0)->setExpanded(true);
    available_->topLevelItem(0)->child(0)->setExpanded(true);
}

BatchEditorDialog::BatchEditorDialog(const std::vector<std::unique_ptr<CKelBatchCommand>>& batches,
                                     std::span<CCommandFamily* const> families,
                                     CCustomerCommandSets& customers, QWidget* parent)
    : QDialog(parent),
      families_(families.begin(), families.end()),
      customers_(customers),
      names_(new QComboBox),
      stacked_(new CommandDropList),
      available_(NewCommandTreeView()) {
    setObjectName("define_batch_commands");
    setWindowTitle("Define KelBatchCommands");
    for (const auto& batch : batches)
        batches_.push_back(std::make_unique<CKelBatchCommand>(*batch));
    names_->setObjectName("batches");
    stacked_->setObjectName("stacked");
    stacked_->setHeaderLabels({"Name", "Type"});
    stacked_->setRootIsDecorated(false);
    stacked_->SetDropHandler([this](const QMimeData& data) { DropCommand(data); });
    AddStackedActions();
    available_->setObjectName("available");

    BuildAvailable();

    auto* typeBox = new QGroupBox("Batch Type");
    auto* typeLayout = new QHBoxLayout(typeBox);
    const char* const typeNames[] = {"Batch ", "QuietBatch_Send", "QuietBatch_Read"};
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type] = new QRadioButton(typeNames[type]);
        typeLayout->addWidget(types_[type]);
        connect(types_[type], &QRadioButton::clicked, this, [this, type] {
            if (CKelBatchCommand* batch = Selected()) batch->SetBatchType(type);
        });
    }
    auto* newBatch = NewButton("&New", "new");
    auto* deleteBatch = NewButton("&Delete", "delete");
    auto* load = NewButton("&Load", "load");
    auto* save = NewButton("&Save", "save");
    auto* saveAll = NewButton("&Save &All", "save_all");
    connect(load, &QPushButton::clicked, this, [this] {
        LoadBatches(
            QFileDialog::getOpenFileNames(this, "Load", QString(), "Kel BatchCommand (*.kbc)"));
    });
    connect(save, &QPushButton::clicked, this, [this] {
        const CKelBatchCommand* batch = Selected();
        if (batch == nullptr) return;
        const QString path = QFileDialog::getSaveFileName(
            this, "Save", QString::fromStdString(batch->GetName()) + ".kbc",
            "Kel BatchCommand (*.kbc)");
        if (!path.isEmpty()) WriteBatchFile(path.toStdString(), *batch);
    });
    connect(saveAll, &QPushButton::clicked, this, [this] {
        const QString folder = SelectFolder(this);
        if (!folder.isEmpty()) SaveAll(folder);
    });
    auto* append = NewButton("<<", "append");
    auto* insert = NewButton("|<<", "insert");
    NameField(*append, "Append");
    NameField(*insert, "Insert");
    auto* deleteCommand = NewButton("Dele&te Command", "delete_command");
    auto* deleteAllCommands = NewButton("&Delete All Co&mmands", "delete_all_commands");
    auto* moveUp = NewButton("Move &Up", "move_up");
    auto* moveDown = NewButton("&Move Do&wn", "move_down");
    auto* deleteAll = NewButton("D&elete All", "delete_all");
    // The customer command sets change the library's store at once; the tree follows them.
    auto* loadCustomers = NewButton("Load Custome&r Commands", "load_customer_commands");
    auto* defineCustomers = NewButton("De&fine Customer Commands", "define_customer_commands");
    connect(loadCustomers, &QPushButton::clicked, this, [this] {
        if (LoadCustomerCommandSets(customers_, this) > 0) BuildAvailable();
    });
    connect(defineCustomers, &QPushButton::clicked, this, [this] {
        if (EditCustomerCommandSets(customers_, this)) BuildAvailable();
    });
    auto* ok = NewButton("&OK", "ok");
    auto* cancel = NewButton("&Cancel", "cancel");
    connect(newBatch, &QPushButton::clicked, this, [this] { AskNewBatch(); });
    connect(deleteBatch, &QPushButton::clicked, this, [this] {
        const int index = names_->currentIndex();
        if (Selected() == nullptr) return;
        batches_.erase(batches_.begin() + index);
        FillBatches(0);
    });
    connect(append, &QPushButton::clicked, this, [this] { AppendSelected(); });
    connect(insert, &QPushButton::clicked, this, [this] { InsertSelected(); });
    connect(deleteCommand, &QPushButton::clicked, this, [this] { DeleteStackedCommand(); });
    connect(deleteAllCommands, &QPushButton::clicked, this, [this] { DeleteAllCommands(); });
    connect(moveUp, &QPushButton::clicked, this, [this] { MoveUp(); });
    connect(moveDown, &QPushButton::clicked, this, [this] { MoveDown(); });
    connect(deleteAll, &QPushButton::clicked, this, [this] { DeleteAllBatches(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(names_, &QComboBox::currentIndexChanged, this, [this] { BatchSelected(); });

    auto* stackedBox = new QGroupBox("Stacked 'KelBus' Commands");
    NameField(*stacked_, stackedBox->title());
    auto* stackedLayout = new QVBoxLayout(stackedBox);
    stackedLayout->addWidget(stacked_);
    auto* stackedButtons = new QGridLayout;
    stackedButtons->addWidget(deleteCommand, 0, 0);
    stackedButtons->addWidget(deleteAllCommands, 0, 1);
    stackedButtons->addWidget(moveUp, 1, 0);
    stackedButtons->addWidget(moveDown, 1, 1);
    stackedLayout->addLayout(stackedButtons);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(append);
    middle->addWidget(insert);
    middle->addStretch();
    auto* availableBox = new QGroupBox("Available 'KelBus' Commands");
    NameField(*available_, availableBox->title());
    auto* availableLayout = new QVBoxLayout(availableBox);
    availableLayout->addWidget(available_);
    // A label without a buddy shows "&" as it is: the hint reads "Drag & Drop ...".
    availableLayout->addWidget(new QLabel("Drag & Drop the selected commands"));
    auto* customerButtons = new QHBoxLayout;
    customerButtons->addWidget(loadCustomers);
    customerButtons->addWidget(defineCustomers);
    availableLayout->addLayout(customerButtons);
    auto* top = new QHBoxLayout;
    top->addWidget(NewFieldLabel("Batch Commands", *names_));
    top->addWidget(names_, 1);
    top->addWidget(newBatch);
    top->addWidget(deleteBatch);
    top->addWidget(deleteAll);
    top->addWidget(load);
    top->addWidget(save);
    top->addWidget(saveAll);
    auto* lists = new QHBoxLayout;
    lists->addWidget(stackedBox, 1);
    lists->addLayout(middle);
    lists->addWidget(availableBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(typeBox);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    FillBatches(0);
}

int BatchEditorDialog::SelectedIndex() const {
    return Selected() != nullptr ? names_->currentIndex() : -1;
}

CKelBatchCommand* BatchEditorDialog::Selected() const {
    const int index = names_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= batches_.size()) return nullptr;
    return batches_[static_cast<size_t>(index)].get();
}

void BatchEditorDialog::FillBatches(int select) {
    {
        const QSignalBlocker block(names_);
        names_->clear();
        for (const auto& batch : batches_)
            names_->addItem(QString::fromStdString(batch->GetName()));
        if (batches_.empty()) names_->addItem("No batch command");
        names_->setCurrentIndex(select);
    }
    BatchSelected();
}

void BatchEditorDialog::BatchSelected() {
    const CKelBatchCommand* batch = Selected();
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type]->setChecked(batch != nullptr && batch->GetBatchType() == type);
    }
    RefreshStacked();
}

void BatchEditorDialog::RefreshStacked(int select) {
    stacked_->clear();
    const CKelBatchCommand* batch = Selected();
    if (batch == nullptr) return;
    for (const auto& member : batch->GetCommands()) {
        auto* row = new QTreeWidgetItem(stacked_);
        row->setText(0, QString::fromStdString(member->GetName()));
        row->setText(1, QString::fromLatin1(member->GetRuntimeClass()->className));
    }
    stacked_->resizeColumnToContents(0);
    if (select >= 0 && select < stacked_->topLevelItemCount()) {
        stacked_->setCurrentItem(stacked_->topLevelItem(select));
    }
}

void BatchEditorDialog::AskNewBatch() {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, "BatchCommand Name", "Enter a new BatchCommand name!",
                              QLineEdit::Normal, QString(), &ok);
    if (ok) NewBatch(name.toStdString());
}

bool BatchEditorDialog::NewBatch(const std::string& name) {
    if (name.empty()) {
        CurrentPrompt().ShowMessage("Enter a correct name!");
        return false;
    }
    for (const auto& batch : batches_) {
        if (SameName(batch->GetName(), name)) {
            CurrentPrompt().ShowMessage("Name already exists!\nEnter a new name!");
            return false;
        }
    }
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName(name);
    batches_.push_back(std::move(batch));
    FillBatches(static_cast<int>(batches_.size()) - 1);
    return true;
}

void BatchEditorDialog::LoadBatches(const QStringList& paths) {
    // The files are read into a store holding the edited list, so that names are checked against
    // what the user sees; the caller's store is touched only on "&OK".
    CBatchCommandStore edited;
    edited.Replace(batches_);
    for (const QString& path : paths) {
        std::string name;
        const FileStatus status = ReadBatchFile(path.toStdString(), edited, &name);
        if (status == FileStatus::kOk) continue;
        CurrentPrompt().ShowMessage(BatchFileMessage(status, name, path.toStdString()));
        if (status == FileStatus::kDuplicate) break;
    }
    batches_ = edited.Copy();
    FillBatches(static_cast<int>(batches_.size()) - 1);
}

bool BatchEditorDialog::SaveAll(const QString& folder) {
    bool written = true;
    for (const auto& batch : batches_) {
        const QString path =
            QDir(folder).filePath(QString::fromStdString(batch->GetName()) + ".kbc");
        if (WriteBatchFile(path.toStdString(), *batch) != FileStatus::kOk) {
            CurrentPrompt().ShowMessage("Cannot write " + path.toStdString());
            written = false;
        }
    }
    return written;
}

void BatchEditorDialog::AppendSelected() {
    AddSelected(false);
}

void BatchEditorDialog::InsertSelected() {
    AddSelected(true);
}

void BatchEditorDialog::AddSelected(bool beforeSelection) {
    const CCommand* command = CommandOfRow(available_->currentItem());
    if (command == nullptr) {
        CurrentPrompt().ShowMessage(kNoCommandSelected);
        return;
    }
    if (Selected() == nullptr) {
        CurrentPrompt().ShowMessage("No KelBatchCommand selected!");
        return;
    }
    std::unique_ptr<CCommand> copy = command->Clone();
    auto* busCommand = dynamic_cast<CKelCommand*>(copy.get());
    if (busCommand == nullptr) {
        CurrentPrompt().ShowMessage("Failed to copy the file!");
        return;
    }
    copy.release();
    AddMember(std::unique_ptr<CKelCommand>(busCommand), beforeSelection);
}

bool BatchEditorDialog::AddMember(std::unique_ptr<CKelCommand> command, bool beforeSelection) {
    CKelBatchCommand* batch = Selected();
    if (batch == nullptr) {
        CurrentPrompt().ShowMessage("No KelBatchCommand selected!");
        return false;
    }
    // A batch inside a batch has no send list of its own: its message could not be built.
    if (dynamic_cast<CKelBatchCommand*>(command.get()) != nullptr) {
        CurrentPrompt().ShowMessage(kBatchCannotBeStacked);
        return false;
    }
    const int current = StackedIndex();
    size_t index = batch->GetCommandCount();
    if (beforeSelection && current >= 0) index = static_cast<size_t>(current);
    batch->InsertCommand(std::move(command), index);
    RefreshStacked(static_cast<int>(index));
    return true;
}

bool BatchEditorDialog::DropCommand(const QMimeData& data) {
    std::unique_ptr<CKelCommand> command = CommandFromMimeData(data, &Communication());
    if (command == nullptr) {
        CurrentPrompt().ShowMessage("Failed to copy the file!");
        return false;
    }
    return AddMember(std::move(command), false);
}

bool BatchEditorDialog::PasteCommand() {
    std::unique_ptr<CKelCommand> command = kelcmd::PasteCommand(&Communication());
    if (command == nullptr) {
        CurrentPrompt().ShowMessage(kNoCommandOnClipboard);
        return false;
    }
    return AddMember(std::move(command), true);
}

bool BatchEditorDialog::CopyStacked() {
    const CKelBatchCommand* batch = Selected();
    const int current = StackedIndex();
    if (batch == nullptr || current < 0) {
        CurrentPrompt().ShowMessage(kNoCommandSelected);
        return false;
    }
    if (batch->GetCommand(static_cast<size_t>(current))->CopyToClipboard() == 0) {
        CurrentPrompt().ShowMessage(kCopyFailed);
        return false;
    }
    return true;
}

void BatchEditorDialog::AddStackedActions() {
    auto* copy = new QAction("&Copy", stacked_);
    copy->setObjectName("copy");
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { CopyStacked(); });
    auto* paste = new QAction("&Paste", stacked_);
    paste->setObjectName("paste");
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    connect(paste, &QAction::triggered, this, [this] { PasteCommand(); });
    stacked_->addAction(copy);
    stacked_->addAction(paste);
    stacked_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QTreeWidget& BatchEditorDialog::Stacked() {
    return *stacked_;
}

int BatchEditorDialog::StackedIndex() const {
    return stacked_->indexOfTopLevelItem(stacked_->currentItem());
}

CKelBatchCommand* BatchEditorDialog::BatchForButton() {
    CKelBatchCommand* batch = Selected();
    if (batch == nullptr) CurrentPrompt().ShowMessage("No Batch Command selected!");
    return batch;
}

void BatchEditorDialog::DeleteStackedCommand() {
    CKelBatchCommand* batch = BatchForButton();
    if (batch == nullptr) return;
    const int current = StackedIndex();
    if (current < 0) return;
    batch->RemoveCommand(static_cast<size_t>(current));
    RefreshStacked(std::min(current, static_cast<int>(batch->GetCommandCount()) - 1));
}

void BatchEditorDialog::DeleteAllCommands() {
    CKelBatchCommand* batch = BatchForButton();
    if (batch == nullptr) return;
    batch->RemoveAll();
    RefreshStacked();
}

void BatchEditorDialog::MoveUp() {
    Move(-1);
}

void BatchEditorDialog::MoveDown() {
    Move(+1);
}

void BatchEditorDialog::Move(int by) {
    CKelBatchCommand* batch = BatchForButton();
    if (batch == nullptr) return;
    const int current = StackedIndex();
    const int target = current + by;
    if (current < 0 || target < 0 || target >= static_cast<int>(batch->GetCommandCount())) return;
    batch->InsertCommand(batch->DetachCommand(static_cast<size_t>(current)),
                         static_cast<size_t>(target));
    RefreshStacked(target);
}

void BatchEditorDialog::DeleteAllBatches() {
    batches_.clear();
    FillBatches(0);
}

}  // namespace kelcmd::dialogs
