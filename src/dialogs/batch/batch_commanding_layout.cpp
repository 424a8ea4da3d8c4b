// The widgets of "Batch Commanding" and how they are arranged: the batch row on top, the stacked
// list with its timing and "Execute Batch" on the left, the two parameter lists with their buttons
// on the right, the information line and "&OK"/"&Cancel" at the bottom.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "command/batch_command_store.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/batch/batch_parameters.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {
namespace {

QLineEdit* MillisecondsField(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), field));
    field->setFixedWidth(90);
    return field;
}

QCheckBox* CheckBox(const char* text, const char* name) {
    auto* box = new QCheckBox(text);
    box->setObjectName(name);
    return box;
}

// A parameter list with the buttons that act on it: one command, all commands, and the tick that
// makes the "All" action part of "Execute Batch".
QGroupBox* ListBox(const char* title, QTreeWidget* list, QPushButton* one, QPushButton* all,
                   QCheckBox* automatically) {
    auto* box = new QGroupBox(title);
    NameField(*list, title);
    auto* layout = new QGridLayout(box);
    layout->addWidget(list, 0, 0, 1, 3);
    layout->addWidget(one, 1, 0);
    layout->addWidget(all, 1, 1);
    layout->addWidget(automatically, 1, 2);
    layout->setColumnStretch(2, 1);
    return box;
}

}  // namespace

void BatchCommandingDialog::BuildLayout() {
    batches_ = new QComboBox;
    batches_->setObjectName("batches");
    stacked_ = new QTreeWidget;
    stacked_->setObjectName("stacked");
    stacked_->setHeaderLabels({"Status", "Name", "Type"});
    stacked_->setRootIsDecorated(false);
    stacked_->setAllColumnsShowFocus(true);
    stacked_->setColumnWidth(0, 90);
    stacked_->setColumnWidth(1, 150);
    stacked_->setMinimumSize(400, 240);
    parameters_ = NewParameterList("parameters");
    returns_ = NewParameterList("return_parameters");
    for (QTreeWidget* list : {parameters_, returns_}) list->setMinimumSize(360, 110);
    for (QTreeWidget* list : {stacked_, parameters_, returns_}) list->installEventFilter(this);
    information_ = new QLabel;
    information_->setObjectName("information");
    information_->setWordWrap(true);
    information_->setMinimumHeight(2 * fontMetrics().height());
    enterAll_ = CheckBox("Automatically", "enter_all_automatically");
    showAll_ = CheckBox("Automatically", "show_all_automatically");
    autoRepetition_ = CheckBox("Auto Repetition", "auto_repetition");
    delay_ = new QSpinBox;
    delay_->setObjectName("delay");
    delay_->setRange(0, 3600000);
    delay_->setValue(100);
    delay_->setSuffix(" ms");
    timeout_ = MillisecondsField("timeout");
    totalTimeout_ = MillisecondsField("total_timeout");
    auto* execute = NewButton("Execute Batch", "execute");

    connect(batches_, &QComboBox::currentIndexChanged, this, [this] { BatchSelected(); });
    connect(stacked_, &QTreeWidget::currentItemChanged, this, [this] { MemberSelected(); });
    connect(timeout_, &QLineEdit::editingFinished, this, [this] { TakeOverTimeouts(); });
    connect(totalTimeout_, &QLineEdit::editingFinished, this, [this] { TakeOverTimeouts(); });
    connect(execute, &QPushButton::clicked, this, [this] { ExecuteBatch(); });
    connect(autoRepetition_, &QCheckBox::toggled, this, [this](bool on) { ToggleRepetition(on); });

    auto* load = NewButton("&Load", "load");
    auto* save = NewButton("&Save", "save");
    auto* deleteAll = NewButton("Delete &All", "delete_all");
    auto* define = NewButton("&Define Batch", "define_batch");
    connect(load, &QPushButton::clicked, this, [this] {
        LoadBatches(
            QFileDialog::getOpenFileNames(this, "Load", QString(), "Kel BatchCommand (*.kbc)"));
    });
    connect(save, &QPushButton::clicked, this, [this] { AskSave(); });
    connect(deleteAll, &QPushButton::clicked, this, [this] {
        store_.RemoveAll();
        FillBatches();
    });
    connect(define, &QPushButton::clicked, this, [this] { DefineBatches(); });
    auto* enter = NewButton("&Enter Parameter", "enter_parameter");
    auto* enterAll = NewButton("Enter &All Parameters", "enter_all_parameters");
    auto* show = NewButton("Show Return Parameter", "show_return_parameter");
    auto* showAll = NewButton("Show All Return Parameters", "show_all_return_parameters");
    connect(enter, &QPushButton::clicked, this, [this] { EnterParameter(); });
    connect(enterAll, &QPushButton::clicked, this, [this] { EnterAllParameters(); });
    connect(show, &QPushButton::clicked, this, [this] { ShowReturnParameter(); });
    connect(showAll, &QPushButton::clicked, this, [this] { ShowAllReturnParameters(); });
    auto* ok = NewButton("&OK", "ok");
    auto* cancel = NewButton("&Cancel", "cancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* batchBox = new QGroupBox("Batch Command");
    NameField(*batches_, batchBox->title());
    auto* batchLayout = new QGridLayout(batchBox);
    batchLayout->addWidget(batches_, 0, 0);
    batchLayout->setColumnStretch(0, 1);
    int column = 1;
    for (QPushButton* button : {load, save, deleteAll, define}) {
        batchLayout->addWidget(button, 0, column++);
    }
    auto* typeRow = new QHBoxLayout;
    const char* const typeNames[] = {"Batch ", "QuietBatch_Send", "QuietBatch_Read"};
    const char* const typeObjects[] = {"type_batch", "type_quiet_send", "type_quiet_read"};
    for (uint32_t type = 0; type < 3; ++type) {
        types_[type] = new QRadioButton(typeNames[type]);
        types_[type]->setObjectName(typeObjects[type]);
        typeRow->addWidget(types_[type]);
        connect(types_[type], &QRadioButton::clicked, this, [this, type] { TypeChosen(type); });
    }
    typeRow->addStretch();
    batchLayout->addLayout(typeRow, 1, 0, 1, column);

    auto* stackedBox = new QGroupBox("Stacked KelBus Commands");
    NameField(*stacked_, stackedBox->title());
    auto* stackedLayout = new QVBoxLayout(stackedBox);
    stackedLayout->addWidget(stacked_, 1);
    auto* timing = new QGridLayout;
    timing->addWidget(NewFieldLabel("Timeout", *timeout_), 0, 0);
    timing->addWidget(timeout_, 0, 1);
    timing->addWidget(new QLabel("ms"), 0, 2);
    timing->addWidget(autoRepetition_, 0, 4);
    timing->addWidget(NewFieldLabel("Total Timeout", *totalTimeout_), 1, 0);
    timing->addWidget(totalTimeout_, 1, 1);
    timing->addWidget(new QLabel("ms  ( 0 = infinite )"), 1, 2);
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(NewFieldLabel("Delay", *delay_));
    delayRow->addWidget(delay_);
    timing->addLayout(delayRow, 1, 4);
    timing->setColumnStretch(3, 1);
    stackedLayout->addLayout(timing);
    auto* executeRow = new QHBoxLayout;
    executeRow->addWidget(execute);
    executeRow->addStretch();
    stackedLayout->addLayout(executeRow);

    auto* lists = new QGridLayout;
    lists->addWidget(stackedBox, 0, 0, 2, 1);
    lists->addWidget(ListBox("Parameter List", parameters_, enter, enterAll, enterAll_), 0, 1);
    lists->addWidget(ListBox("Return Parameter List", returns_, show, showAll, showAll_), 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Information:"), 0, Qt::AlignTop);
    bottom->addWidget(information_, 1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);
    bottom->addWidget(cancel, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(batchBox);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
}

}  // namespace kelcmd::dialogs
