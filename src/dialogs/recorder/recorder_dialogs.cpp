#include "dialogs/recorder/recorder_dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>
#include <bit>

#include "command/kel_standard_command.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr int kIntervals = 17;

const std::array<const char*, 6> kDataChoices = {
    "position & velocity",     "position & current",      "velocity & current",
    "position & mean current", "velocity & mean current", "position & mean velocity"};

const std::array<const char*, 8> kCostFunctions = {
    "ISE   : Integral of Square(Error) (102)",       "ISE1   : ISE, 1 ms current rise (103)",
    "ISE2   : ISE, 2 ms current rise (104)    ",     "ISE3   : ISE, 3 ms current rise (105)     ",
    "IAE      : Integral of Abs(Error) (201)",       "IAE2    : IAE + noise taxing (202)",
    "ITAE    : Integral of Time * Abs(Error) (203)", "ITAE2  : ITAE2 + noise taxing (204)"};

void AddOkCancel(QDialog& dialog, QVBoxLayout* layout) {
    AddOkCancelRow(dialog, *layout);
}

QButtonGroup* RadioGroup(QDialog& dialog, QVBoxLayout* layout, const char* title,
                         const std::vector<std::string>& labels, int checked) {
    auto* box = new QGroupBox(title);
    auto* boxLayout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(&dialog);
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(labels[i]));
        button->setObjectName(ObjectNameFor(labels[i]));
        group->addButton(button, static_cast<int>(i));
        boxLayout->addWidget(button);
    }
    if (QAbstractButton* button = group->button(checked)) button->setChecked(true);
    layout->addWidget(box);
    return group;
}

uint32_t SendValue(const CKelStandardCommand& command, const char* name) {
    const int index = command.Wire().FindSend(name);
    return index < 0 ? 0 : ReadUnsigned(command.Wire().GetSendValue(static_cast<size_t>(index)));
}

// Parameter values are kept in host order, at the width of their type.
void SetSend(CKelStandardCommand& command, const char* name, uint32_t value) {
    const int index = command.Wire().FindSend(name);
    if (index < 0) return;
    const auto at = static_cast<size_t>(index);
    const uint32_t size = command.Wire().GetSendSize(at);
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size && i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    command.Wire().SetSendValue(at, bytes.data(), size);
}

bool ParseUnsigned(const QString& text, uint64_t maximum, uint64_t& value) {
    bool ok = false;
    const qulonglong parsed = text.trimmed().toULongLong(&ok);
    if (!ok || parsed > maximum) return false;
    value = parsed;
    return true;
}

}  // namespace

int IntervalIndexOfPeriod(uint16_t period) {
    return period == 0 ? kIntervals - 1 : std::countr_zero(period);
}

uint16_t PeriodOfIntervalIndex(int index) {
    return static_cast<uint16_t>(1u << std::clamp(index, 0, kIntervals - 1));
}

SetupRecorderDialog::SetupRecorderDialog(uint16_t period, uint8_t dataType, bool autoRecord,
                                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("SetupRecorder");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    interval_ = new QComboBox;
    interval_->setObjectName("measuring_interval");
    for (int i = 0; i < kIntervals; ++i) interval_->addItem(QString::number(1u << i));
    interval_->setCurrentIndex(IntervalIndexOfPeriod(period));
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(interval_);
    intervalRow->addWidget(new QLabel("ms"));
    form->addRow(NewFieldLabel("Measuring interval", *interval_), intervalRow);
    data_ = new QComboBox;
    data_->setObjectName("data");
    for (const char* choice : kDataChoices) data_->addItem(choice);
    data_->setCurrentIndex(std::clamp(int{dataType} - 1, 0, 5));
    form->addRow("Data", data_);
    layout->addLayout(form);
    auto_ = new QCheckBox("Start automatically at each movement command");
    auto_->setObjectName("start_automatically_at_each_movement_command");
    auto_->setChecked(autoRecord);
    layout->addWidget(auto_);
    AddOkCancel(*this, layout);
}

uint16_t SetupRecorderDialog::Period() const {
    return PeriodOfIntervalIndex(interval_->currentIndex());
}
uint8_t SetupRecorderDialog::DataType() const {
    return static_cast<uint8_t>(data_->currentIndex() + 1);
}
bool SetupRecorderDialog::AutoRecord() const {
    return auto_->isChecked();
}

int CostFunctionIndex(uint8_t toTune, uint8_t costFunction) {
    if (costFunction >= 102 && costFunction <= 105) return costFunction - 102;
    if (costFunction >= 201 && costFunction <= 204) return costFunction - 197;
    return toTune == 2 ? 4 : 0;
}

uint8_t CostFunctionOfIndex(int index) {
    index = std::clamp(index, 0, 7);
    return static_cast<uint8_t>(index < 4 ? 102 + index : 197 + index);
}

InitAutotuneDialog::InitAutotuneDialog(uint8_t toTune, uint8_t startParam, uint8_t costFunction,
                                       uint8_t extent, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("InitAutotune");
    auto* layout = new QVBoxLayout(this);
    toTune_ =
        RadioGroup(*this, layout, "Regulator",
                   {"tune current regulator ", "tune position regulator "}, toTune == 2 ? 1 : 0);
    startParam_ = RadioGroup(*this, layout, "Start parameters",
                             {"Currently active gains ", "Default parameters "}, startParam);
    std::vector<std::string> costs(kCostFunctions.begin(), kCostFunctions.end());
    cost_ =
        RadioGroup(*this, layout, "Cost function", costs, CostFunctionIndex(toTune, costFunction));
    layout->addWidget(new QLabel("Most universal cost function: ISE2"));
    layout->addWidget(new QLabel("Most universal cost function: IAE2"));
    extent_ = RadioGroup(*this, layout, "Extent", {"Coarse tuning ", "fine tuning "}, extent);
    AddOkCancel(*this, layout);
}

uint8_t InitAutotuneDialog::ToTune() const {
    return static_cast<uint8_t>(toTune_->checkedId() + 1);
}
uint8_t InitAutotuneDialog::StartParam() const {
    return static_cast<uint8_t>(std::max(0, startParam_->checkedId()));
}
uint8_t InitAutotuneDialog::CostFunction() const {
    return CostFunctionOfIndex(cost_->checkedId());
}
uint8_t InitAutotuneDialog::Extent() const {
    return static_cast<uint8_t>(std::max(0, extent_->checkedId()));
}

SquareCurrentTestDialog::SquareCurrentTestDialog(uint16_t amplitude, uint32_t timeout,
                                                 QWidget* parent)
    : QDialog(parent), amplitude_(amplitude), timeout_(timeout) {
    setWindowTitle("SquareCurrentTest");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    amplitudeField_ = new QLineEdit(QString::number(amplitude));
    amplitudeField_->setObjectName("amplitude_of_the_current_jump");
    auto* amplitudeRow = new QHBoxLayout;
    amplitudeRow->addWidget(amplitudeField_);
    amplitudeRow->addWidget(new QLabel("mA"));
    form->addRow(NewFieldLabel("Amplitude of the current jump", *amplitudeField_), amplitudeRow);
    timeoutField_ = new QLineEdit(QString::number(timeout));
    timeoutField_->setObjectName("timeout");
    auto* timeoutRow = new QHBoxLayout;
    timeoutRow->addWidget(timeoutField_);
    timeoutRow->addWidget(new QLabel("ms"));
    timeoutRow->addWidget(new QLabel("( 0 = infinite )"));
    form->addRow(NewFieldLabel("Timeout", *timeoutField_), timeoutRow);
    layout->addLayout(form);
    AddOkCancel(*this, layout);
}

void SquareCurrentTestDialog::accept() {
    uint64_t amplitude = 0;
    if (!ParseUnsigned(amplitudeField_->text(), 65535, amplitude)) {
        CurrentPrompt().ShowMessage("Please enter an integer between 0 and 65535.");
        amplitudeField_->setFocus();
        return;
    }
    uint64_t timeout = 0;
    if (!ParseUnsigned(timeoutField_->text(), 0xFFFFFFFFu, timeout)) {
        CurrentPrompt().ShowMessage("Please enter an integer between 0 and 4294967295.");
        timeoutField_->setFocus();
        return;
    }
    amplitude_ = static_cast<uint16_t>(amplitude);
    timeout_ = static_cast<uint32_t>(timeout);
    QDialog::accept();
}

int EditWithRecorderDialog(CKelStandardCommand& command) {
    QWidget* parent = QApplication::activeWindow();
    const std::string& name = command.GetName();
    if (name == "SetupRecorder") {
        SetupRecorderDialog dialog(static_cast<uint16_t>(SendValue(command, "period")),
                                   static_cast<uint8_t>(SendValue(command, "dataType")),
                                   SendValue(command, "autoRecord") != 0, parent);
        if (dialog.exec() != QDialog::Accepted) return 0;
        SetSend(command, "period", dialog.Period());
        SetSend(command, "dataType", dialog.DataType());
        SetSend(command, "autoRecord", dialog.AutoRecord() ? 1 : 0);
        return 1;
    }
    if (name == "InitAutotune") {
        InitAutotuneDialog dialog(static_cast<uint8_t>(SendValue(command, "toTune")),
                                  static_cast<uint8_t>(SendValue(command, "startParam")),
                                  static_cast<uint8_t>(SendValue(command, "costFunction")),
                                  static_cast<uint8_t>(SendValue(command, "extent")), parent);
        if (dialog.exec() != QDialog::Accepted) return 0;
        SetSend(command, "toTune", dialog.ToTune());
        SetSend(command, "startParam", dialog.StartParam());
        SetSend(command, "costFunction", dialog.CostFunction());
        SetSend(command, "extent", dialog.Extent());
        return 1;
    }
    if (name == "SquareCurrentTest") {
        SquareCurrentTestDialog dialog(static_cast<uint16_t>(SendValue(command, "jumpAmplitude")),
                                       command.GetAnswerTimeout(), parent);
        if (dialog.exec() != QDialog::Accepted) return 0;
        SetSend(command, "jumpAmplitude", dialog.Amplitude());
        command.SetAnswerTimeout(dialog.Timeout());
        return 1;
    }
    return -1;
}

}  // namespace kelcmd::dialogs
