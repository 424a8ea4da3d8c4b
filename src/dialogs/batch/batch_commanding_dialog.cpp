#include "dialogs/batch/batch_commanding_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <limits>
#include <optional>

#include "api/families.h"
#include "command/batch_command_store.h"
#include "command/command_files.h"
#include "command/kel_batch_command.h"
#include "command/parameter_list.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/batch/batch_parameters.h"
#include "dialogs/batch/batch_result.h"
#include "dialogs/toolkit/enter_key.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kNoBatch = "No batch command";
constexpr const char* kNoMember = "No KelBus command selected";
constexpr const char* kFilter = "Kel BatchCommand (*.kbc)";

// A typed timeout in ms; nothing for text that is no 32-bit count.
std::optional<uint32_t> ParseMilliseconds(const QString& text) {
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    if (!ok || value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(value);
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

BatchCommandingDialog::BatchCommandingDialog(CBatchCommandStore& store, std::string portName,
                                             uint8_t slave, QWidget* parent)
    : QDialog(parent),
      store_(store),
      portName_(std::move(portName)),
      slave_(slave),
      collector_(new QTimer(this)) {
    collector_->setInterval(10);
    connect(collector_, &QTimer::timeout, this, [this] { CollectRepetition(); });
    setObjectName("batch_commanding");
    setWindowTitle("Batch Commanding");
    BuildLayout();
    FillBatches();
}

BatchCommandingDialog::~BatchCommandingDialog() {
    repetition_.Stop();
}

void BatchCommandingDialog::done(int result) {
    // Closing stops the repetition; the worker never outlives the window.
    repetition_.Stop();
    QDialog::done(result);
}

void BatchCommandingDialog::keyPressEvent(QKeyEvent* event) {
    if (!IsEnterKey(event)) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter presses the button that has the focus ("Execute Batch" executes, "&OK" closes). In a
    // field it has taken the typed value over already; it never closes the window by itself.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        if (button->isEnabled()) button->click();
    }
}

bool BatchCommandingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnterKey(event) && (watched == stacked_ || watched == parameters_)) {
        EnterParameter();
        return true;
    }
    if (IsEnterKey(event) && watched == returns_) {
        ShowReturnParameter();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void BatchCommandingDialog::FillBatches(int select) {
    const QSignalBlocker block(batches_);
    batches_->clear();
    for (const auto& batch : store_.GetBatches()) batches_->addItem(FromStd(batch->GetName()));
    if (batches_->count() == 0) batches_->addItem(kNoBatch);
    batches_->setCurrentIndex(select >= 0 && select < batches_->count() ? select : 0);
    BatchSelected();
}

void BatchCommandingDialog::LoadBatches(const QStringList& paths) {
    for (const QString& path : paths) {
        std::string name;
        const FileStatus status = ReadBatchFile(path.toStdString(), store_, &name);
        if (status == FileStatus::kOk) continue;
        CurrentPrompt().ShowMessage(BatchFileMessage(status, name, path.toStdString()));
        if (status == FileStatus::kDuplicate) break;
    }
    FillBatches();
    if (batches_->count() > 0) batches_->setCurrentIndex(batches_->count() - 1);
}

void BatchCommandingDialog::AskSave() {
    const CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) return;
    QFileDialog chooser(this, "Save", FromStd(batch->GetName()) + ".kbc", kFilter);
    chooser.setAcceptMode(QFileDialog::AcceptSave);  // asks before overwriting
    chooser.setDefaultSuffix("kbc");                 // so that "&Load" finds the file again
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    SaveSelected(chooser.selectedFiles().front());
}

bool BatchCommandingDialog::SaveSelected(const QString& path) {
    const CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) return false;
    const FileStatus status = WriteBatchFile(path.toStdString(), *batch);
    if (status == FileStatus::kOk) return true;
    CurrentPrompt().ShowMessage(BatchFileMessage(status, batch->GetName(), path.toStdString()));
    return false;
}

void BatchCommandingDialog::DefineBatches() {
    // The editor works on a copy; the store takes it over only on "&OK".
    const std::vector<CCommandFamily*> families = Families().InOrder();
    BatchEditorDialog editor(store_.GetBatches(), families, Families().CustomerSets(), this);
    if (editor.exec() != QDialog::Accepted) return;
    store_.Replace(editor.Batches());
    FillBatches(editor.SelectedIndex());  // the batch the user left selected
}

CKelBatchCommand* BatchCommandingDialog::SelectedBatch() const {
    const int index = batches_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= store_.Count()) return nullptr;
    return store_.GetBatches()[static_cast<size_t>(index)].get();
}

CKelCommand* BatchCommandingDialog::SelectedMember() const {
    const CKelBatchCommand* batch = SelectedBatch();
    const int row = stacked_->indexOfTopLevelItem(stacked_->currentItem());
    if (batch == nullptr || row < 0) return nullptr;
    return batch->GetCommand(static_cast<size_t>(row));
}

std::string BatchCommandingDialog::Information() const {
    return information_->text().toStdString();
}

// While repeating, the window's batch is replaced after every pass: no member dialog may hold
// one of its commands then.
CKelCommand* BatchCommandingDialog::MemberWithParameters(bool returned) {
    if (Repeating()) return nullptr;
    CKelCommand* member = SelectedMember();
    if (member == nullptr) {
        information_->setText(kNoMember);
        return nullptr;
    }
    const CParameterList* wire = member->GetSendParameters();
    if (wire == nullptr || (returned ? wire->GetReturnCount() : wire->GetSendCount()) == 0) {
        information_->setText(returned ? "No return parameter!" : "No parameter!");
        return nullptr;
    }
    return member;
}

void BatchCommandingDialog::EnterParameter() {
    CKelCommand* member = MemberWithParameters(false);
    if (member == nullptr) return;
    member->EditParameters();
    MemberSelected();
}

void BatchCommandingDialog::ShowReturnParameter() {
    CKelCommand* member = MemberWithParameters(true);
    if (member == nullptr) return;
    if (member->ShowResults() == 0) {
        information_->setText(
            FromStd("Failed showing return parameter of command '" + member->GetName() + "' !"));
    }
}

bool BatchCommandingDialog::EnterAllParameters() {
    if (Repeating()) return false;
    CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) {
        information_->setText("No batch command selected!");
        return false;
    }
    bool entered = true;
    for (const auto& member : batch->GetCommands()) {
        if (member->EditParameters() == 0) {
            information_->setText(
                FromStd("Failed entering parameter of command '" + member->GetName() + "' !"));
            entered = false;
            break;
        }
    }
    MemberSelected();
    return entered;
}

bool BatchCommandingDialog::ShowAllReturnParameters() {
    if (Repeating()) return false;
    CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) {
        information_->setText("No batch command selected!");
        return false;
    }
    for (const auto& member : batch->GetCommands()) {
        if (member->ShowResults() == 0) {
            information_->setText(FromStd("Failed showing return parameter of command '" +
                                          member->GetName() + "' !"));
            return false;
        }
    }
    return true;
}

void BatchCommandingDialog::BatchSelected() {
    const CKelBatchCommand* batch = SelectedBatch();
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type]->setChecked(batch != nullptr && batch->GetBatchType() == type);
    }
    stacked_->clear();
    RefreshStacked();
}

void BatchCommandingDialog::MemberSelected() {
    CKelCommand* member = SelectedMember();
    ShowParameterRows(*parameters_, member != nullptr ? SendParameterRows(*member)
                                                      : std::vector<BatchParameterRow>{});
    ShowParameterRows(*returns_, member != nullptr ? ReturnParameterRows(*member)
                                                   : std::vector<BatchParameterRow>{});
    RefreshTimeouts();
}

void BatchCommandingDialog::TypeChosen(uint32_t type) {
    if (CKelBatchCommand* batch = SelectedBatch()) {
        batch->SetBatchType(type);
        // Another type waits by another rule: the batch computes its timeout again.
        batch->SetFixedTimeout(std::nullopt);
    }
    BatchSelected();
}

void BatchCommandingDialog::RefreshStacked() {
    // The rows are rebuilt (statuses change, members may have been replaced); the selected row
    // stays selected, and the first one is selected when none was.
    const int selected = std::max(0, stacked_->indexOfTopLevelItem(stacked_->currentItem()));
    {
        const QSignalBlocker block(stacked_);
        stacked_->clear();
        if (const CKelBatchCommand* batch = SelectedBatch()) {
            for (const auto& member : batch->GetCommands()) {
                auto* row = new QTreeWidgetItem(stacked_);
                row->setText(0, FromStd(StackedStatusText(*member)));
                row->setText(1, FromStd(member->GetName()));
                row->setText(2, QString::fromLatin1(member->GetRuntimeClass()->className));
            }
        }
        if (stacked_->topLevelItemCount() > 0) {
            stacked_->setCurrentItem(
                stacked_->topLevelItem(std::min(selected, stacked_->topLevelItemCount() - 1)));
        }
    }
    MemberSelected();
}

void BatchCommandingDialog::RefreshTimeouts() {
    const CKelBatchCommand* batch = SelectedBatch();
    totalTimeout_->setText(batch != nullptr ? QString::number(batch->EffectiveAnswerTimeout())
                                            : QString());
    const CKelCommand* member = SelectedMember();
    timeout_->setText(member != nullptr ? QString::number(member->GetAnswerTimeout()) : QString());
}

void BatchCommandingDialog::TakeOverTimeouts() {
    if (Repeating()) return;
    // Only what the user typed is taken over; the fields show the values again afterwards.
    if (CKelBatchCommand* batch = SelectedBatch()) {
        CKelCommand* member = SelectedMember();
        const auto timeout = ParseMilliseconds(timeout_->text());
        if (timeout_->isModified() && member != nullptr && timeout) {
            member->SetAnswerTimeout(*timeout);
        }
        // An emptied field lets the batch compute its total again.
        const QString total = totalTimeout_->text().trimmed();
        if (totalTimeout_->isModified() && total.isEmpty()) {
            batch->SetFixedTimeout(std::nullopt);
        } else if (const auto ms = ParseMilliseconds(total); totalTimeout_->isModified() && ms) {
            batch->SetFixedTimeout(*ms);
        }
    }
    RefreshTimeouts();
}

void BatchCommandingDialog::ShowResult(int result, bool withBox) {
    const CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) return;
    const BatchResultText text = DescribeBatchResult(*batch, result);
    information_->setText(FromStd(text.information));
    if (withBox && !text.box.empty()) CurrentPrompt().ShowMessage(text.box);
}

void BatchCommandingDialog::ExecuteBatch() {
    if (Repeating()) return;
    QWidget* focus = focusWidget();
    information_->clear();
    CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) {
        information_->setText("No batch command selected!");
        return;
    }
    TakeOverTimeouts();
    batch->SetPortName(portName_);
    batch->SetDestination(slave_);
    if (!enterAll_->isChecked() || EnterAllParameters()) {
        // An execution that never starts leaves the batch idle.
        batch->SetStatus(STATUS_IDLE);
        const int result = batch->Execute() != 0 ? 1 : 0;
        RefreshStacked();
        if (result != 0 && showAll_->isChecked()) ShowAllReturnParameters();
        ShowResult(result, true);
    }
    if (focus != nullptr) focus->setFocus();
}

void BatchCommandingDialog::ToggleRepetition(bool on) {
    if (!on) {
        repetition_.Stop();
        collector_->stop();
        repetition_.TakeEvents();
        EnableControls(true);
        return;
    }
    TakeOverTimeouts();
    CKelBatchCommand* batch = SelectedBatch();
    auto refuse = [this] {
        const QSignalBlocker block(autoRepetition_);
        autoRepetition_->setChecked(false);
    };
    if (batch == nullptr) return refuse();
    batch->SetPortName(portName_);
    batch->SetDestination(slave_);
    // A batch that cannot be built says so here, on the window's thread, and does not repeat.
    std::unique_ptr<CKelBatchCommand> copy = RepetitionCopy(*batch);
    if (copy == nullptr) return refuse();
    EnableControls(false);
    repetition_.Start(std::move(copy), static_cast<uint32_t>(delay_->value()));
    collector_->start();
}

void BatchCommandingDialog::CollectRepetition() {
    for (AutoRepetition::Event& event : repetition_.TakeEvents()) {
        if (event.executed == nullptr) {
            collector_->stop();
            RepetitionEnded(event.result);
            continue;
        }
        // The window's batch takes the executed copy here, on the window's thread.
        if (CKelBatchCommand* batch = SelectedBatch()) TakeOverExecuted(*batch, *event.executed);
        RunDone(event.result);
    }
}

void BatchCommandingDialog::RunDone(int result) {
    RefreshStacked();
    ShowResult(result, false);
}

void BatchCommandingDialog::RepetitionEnded(int result) {
    {
        const QSignalBlocker block(autoRepetition_);
        autoRepetition_->setChecked(false);
    }
    EnableControls(true);
    ShowResult(result, false);
}

void BatchCommandingDialog::EnableControls(bool enabled) {
    // While repeating only the lists and the tick stay usable.
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (widget == autoRepetition_ || widget->isWindow()) continue;
        if (qobject_cast<QPushButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget) ||
            qobject_cast<QSpinBox*>(widget) || qobject_cast<QLineEdit*>(widget)) {
            widget->setEnabled(enabled);
        }
    }
}

}  // namespace kelcmd::dialogs
