#include "dialogs/batch/batch_commanding_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "api/families.h"
#include "command/batch_command_store.h"
#include "command/command_files.h"
#include "command/kel_batch_command.h"
#include "command/parameter_list.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/batch/batch_result.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kNoBatch = "No batch command";

QPushButton* Button(const char* text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

BatchCommandingDialog::BatchCommandingDialog(CBatchCommandStore& store, std::string portName,
                                             uint8_t slave, QWidget* parent)
    : QDialog(parent),
      store_(store),
      portName_(std::move(portName)),
      slave_(slave),
      batches_(new QComboBox),
      stacked_(new QTreeWidget),
      information_(new QLabel),
      enterAll_(new QCheckBox("Automatically")),
      showAll_(new QCheckBox("Automatically")),
      autoRepetition_(new QCheckBox("Auto Repetition")),
      delay_(new QSpinBox),
      totalTimeout_(new QLineEdit),
      collector_(new QTimer(this)) {
    collector_->setInterval(10);
    connect(collector_, &QTimer::timeout, this, [this] { CollectRepetition(); });
    setObjectName("batch_commanding");
    setWindowTitle("Batch Commanding");
    batches_->setObjectName("batches");
    stacked_->setObjectName("stacked");
    stacked_->setHeaderLabels({"Status", "Name", "Type"});
    stacked_->setRootIsDecorated(false);
    information_->setObjectName("information");
    enterAll_->setObjectName("enter_all_automatically");
    showAll_->setObjectName("show_all_automatically");
    autoRepetition_->setObjectName("auto_repetition");
    delay_->setObjectName("delay");
    delay_->setRange(0, 3600000);
    delay_->setValue(100);
    delay_->setSuffix(" ms");
    totalTimeout_->setObjectName("total_timeout");
    totalTimeout_->setReadOnly(true);

    auto* typeBox = new QGroupBox("Batch Type");
    auto* typeLayout = new QHBoxLayout(typeBox);
    const char* const typeNames[] = {"Batch ", "QuietBatch_Send", "QuietBatch_Read"};
    const char* const typeObjects[] = {"type_batch", "type_quiet_send", "type_quiet_read"};
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type] = new QRadioButton(typeNames[type]);
        types_[type]->setObjectName(typeObjects[type]);
        typeLayout->addWidget(types_[type]);
        connect(types_[type], &QRadioButton::clicked, this, [this, type] { TypeChosen(type); });
    }

    auto* execute = Button("Execute Batch", "execute");
    auto* load = Button("&Load", "load");
    auto* deleteAll = Button("Delete &All", "delete_all");
    connect(load, &QPushButton::clicked, this, [this] {
        LoadBatches(
            QFileDialog::getOpenFileNames(this, "Load", QString(), "Kel BatchCommand (*.kbc)"));
    });
    auto* define = Button("&Define Batch", "define_batch");
    connect(define, &QPushButton::clicked, this, [this] {
        // The editor works on a copy; the store takes it over only on "&OK".
        const std::vector<CCommandFamily*> families = Families().InOrder();
        BatchEditorDialog editor(store_.GetBatches(), families, Families().CustomerSets(), this);
        if (editor.exec() != QDialog::Accepted) return;
        store_.Replace(editor.Batches());
        FillBatches();
    });
    connect(deleteAll, &QPushButton::clicked, this, [this] {
        store_.RemoveAll();
        FillBatches();
    });
    auto* enter = Button("&Enter Parameter", "enter_parameter");
    auto* show = Button("Show Return Parameter", "show_return_parameter");
    connect(enter, &QPushButton::clicked, this, [this] { EnterParameter(); });
    connect(show, &QPushButton::clicked, this, [this] { ShowReturnParameter(); });
    auto* ok = Button("&OK", "ok");
    auto* cancel = Button("&Cancel", "cancel");
    connect(execute, &QPushButton::clicked, this, [this] { ExecuteBatch(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(batches_, &QComboBox::currentIndexChanged, this, [this] { BatchSelected(); });
    connect(autoRepetition_, &QCheckBox::toggled, this, [this](bool on) { ToggleRepetition(on); });

    auto* top = new QFormLayout;
    auto* batchRow = new QHBoxLayout;
    batchRow->addWidget(batches_, 1);
    batchRow->addWidget(load);
    batchRow->addWidget(deleteAll);
    batchRow->addWidget(define);
    top->addRow("Batch Command", batchRow);
    auto* timing = new QHBoxLayout;
    timing->addWidget(new QLabel("Total Timeout ( 0 = infinite )"));
    timing->addWidget(totalTimeout_);
    timing->addWidget(autoRepetition_);
    timing->addWidget(new QLabel("Delay"));
    timing->addWidget(delay_);
    auto* actions = new QHBoxLayout;
    actions->addWidget(execute);
    actions->addWidget(new QLabel("Enter All Parameters"));
    actions->addWidget(enterAll_);
    actions->addWidget(new QLabel("Show All Return Parameters"));
    actions->addWidget(showAll_);
    actions->addStretch();
    actions->addWidget(ok);
    actions->addWidget(cancel);
    auto* stackedBox = new QGroupBox("Stacked KelBus Commands");
    (new QVBoxLayout(stackedBox))->addWidget(stacked_);
    auto* memberButtons = new QHBoxLayout;
    memberButtons->addWidget(enter);
    memberButtons->addWidget(show);
    memberButtons->addStretch();
    auto* info = new QHBoxLayout;
    info->addWidget(new QLabel("Information:"));
    info->addWidget(information_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(typeBox);
    layout->addWidget(stackedBox, 1);
    layout->addLayout(memberButtons);
    layout->addLayout(timing);
    layout->addLayout(info);
    layout->addLayout(actions);
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

void BatchCommandingDialog::FillBatches() {
    const QSignalBlocker block(batches_);
    batches_->clear();
    for (const auto& batch : store_.GetBatches()) {
        batches_->addItem(QString::fromStdString(batch->GetName()));
    }
    if (batches_->count() == 0) batches_->addItem(kNoBatch);
    batches_->setCurrentIndex(0);
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

CKelBatchCommand* BatchCommandingDialog::SelectedBatch() const {
    const int index = batches_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= store_.Count()) return nullptr;
    return store_.GetBatches()[static_cast<size_t>(index)].get();
}

std::string BatchCommandingDialog::Information() const {
    return information_->text().toStdString();
}

CKelCommand* BatchCommandingDialog::SelectedMember() const {
    const CKelBatchCommand* batch = SelectedBatch();
    const int row = stacked_->indexOfTopLevelItem(stacked_->currentItem());
    if (batch == nullptr || row < 0) return nullptr;
    return batch->GetCommand(static_cast<size_t>(row));
}

void BatchCommandingDialog::EnterParameter() {
    CKelCommand* member = SelectedMember();
    if (member == nullptr) {
        information_->setText("No KelBus command selected");
        return;
    }
    const CParameterList* wire = member->GetSendParameters();
    if (wire == nullptr || wire->GetSendCount() == 0) {
        information_->setText("No parameter!");
        return;
    }
    member->EditParameters();
}

void BatchCommandingDialog::ShowReturnParameter() {
    CKelCommand* member = SelectedMember();
    if (member == nullptr) {
        information_->setText("No KelBus command selected");
        return;
    }
    const CParameterList* wire = member->GetSendParameters();
    if (wire == nullptr || wire->GetReturnCount() == 0) {
        information_->setText("No return parameter!");
        return;
    }
    if (member->ShowResults() == 0) {
        information_->setText(QString::fromStdString(
            "Failed showing return parameter of command '" + member->GetName() + "' !"));
    }
}

void BatchCommandingDialog::BatchSelected() {
    const CKelBatchCommand* batch = SelectedBatch();
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type]->setChecked(batch != nullptr && batch->GetBatchType() == type);
    }
    totalTimeout_->setText(batch != nullptr ? QString::number(batch->ComputeAnswerTimeout())
                                            : QString());
    RefreshStacked();
}

void BatchCommandingDialog::TypeChosen(uint32_t type) {
    if (CKelBatchCommand* batch = SelectedBatch()) batch->SetBatchType(type);
    BatchSelected();
}

void BatchCommandingDialog::RefreshStacked() {
    stacked_->clear();
    const CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) return;
    for (const auto& member : batch->GetCommands()) {
        auto* row = new QTreeWidgetItem(stacked_);
        row->setText(0, QString::fromStdString(StackedStatusText(*member)));
        row->setText(1, QString::fromStdString(member->GetName()));
        row->setText(2, QString::fromLatin1(member->GetRuntimeClass()->className));
    }
}

void BatchCommandingDialog::ShowResult(int result, bool withBox) {
    const CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) return;
    const BatchResultText text = DescribeBatchResult(*batch, result);
    information_->setText(QString::fromStdString(text.information));
    if (withBox && !text.box.empty()) CurrentPrompt().ShowMessage(text.box);
}

void BatchCommandingDialog::ExecuteBatch() {
    QWidget* focus = focusWidget();
    information_->clear();
    CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) {
        information_->setText("No batch command selected!");
        return;
    }
    batch->SetPortName(portName_);
    batch->SetDestination(slave_);
    if (enterAll_->isChecked()) {
        for (const auto& member : batch->GetCommands()) {
            if (member->EditParameters() == 0) {
                information_->setText(QString::fromStdString(
                    "Failed entering parameter of command '" + member->GetName() + "' !"));
                return;
            }
        }
    }
    const int result = batch->Execute() != 0 ? 1 : 0;
    RefreshStacked();
    if (result != 0 && showAll_->isChecked()) {
        for (const auto& member : batch->GetCommands()) member->ShowResults();
    }
    ShowResult(result, true);
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
    CKelBatchCommand* batch = SelectedBatch();
    if (batch == nullptr) {
        const QSignalBlocker block(autoRepetition_);
        autoRepetition_->setChecked(false);
        return;
    }
    batch->SetPortName(portName_);
    batch->SetDestination(slave_);
    auto copy = std::make_unique<CKelBatchCommand>(*batch);
    // A batch that cannot be built says so here, on the window's thread, and does not repeat.
    if (!copy->BuildMessage()) {
        const QSignalBlocker block(autoRepetition_);
        autoRepetition_->setChecked(false);
        return;
    }
    for (const auto& member : copy->GetCommands()) {
        if (member->GetAnswerTimeout() == 0) member->SetAnswerTimeout(kRepetitionTimeoutCapMs);
    }
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
        if (CKelBatchCommand* batch = SelectedBatch()) batch->CopyFrom(*event.executed);
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
        if (widget == stacked_ || widget == autoRepetition_ || widget->isWindow()) continue;
        if (qobject_cast<QPushButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget) ||
            qobject_cast<QSpinBox*>(widget)) {
            widget->setEnabled(enabled);
        }
    }
}

}  // namespace kelcmd::dialogs
