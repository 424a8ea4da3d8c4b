#include "dialogs/ports/entry_dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr int kLargestTypedDestination = 99999;

// "&OK" and "&Cancel" under `layout`; "&OK" runs `accept`.
template <class Accept>
void AddButtons(QDialog& dialog, QVBoxLayout& layout, Accept accept) {
    AddOkCancelRow(dialog, layout, accept);
}

QComboBox* PortNameList(const std::vector<std::string>& names, const std::string& initial,
                        QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName("portname");
    int selected = names.empty() ? -1 : 0;
    for (size_t i = 0; i < names.size(); ++i) {
        list->addItem(QString::fromStdString(names[i]));
        if (!initial.empty() && names[i] == initial) selected = static_cast<int>(i);
    }
    list->setCurrentIndex(selected);
    list->setMinimumWidth(120);
    return list;
}

std::string SelectedName(const QComboBox& list) {
    return list.currentIndex() < 0 ? std::string() : list.currentText().toStdString();
}

}  // namespace

std::optional<std::string> DestinationProblem(int64_t value, int64_t minimum, int64_t maximum) {
    if (value < minimum) return "Destination is smaller than " + std::to_string(minimum) + " !";
    if (value > maximum) return "Destination is greater than " + std::to_string(maximum) + " !";
    return std::nullopt;
}

DestinationSpinBox::DestinationSpinBox(int minimum, int maximum, QWidget* parent)
    : QSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setObjectName("destination");
    setRange(0, std::max(kLargestTypedDestination, maximum));
}

void DestinationSpinBox::stepBy(int steps) {
    setValue(std::clamp(value() + steps, minimum_, maximum_));
}

QAbstractSpinBox::StepEnabled DestinationSpinBox::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < maximum_) enabled |= StepUpEnabled;
    if (value() > minimum_) enabled |= StepDownEnabled;
    return enabled;
}

EnterDestinationDialog::EnterDestinationDialog(int initial, int minimum, int maximum,
                                               QWidget* parent)
    : QDialog(parent), minimum_(minimum), maximum_(maximum) {
    setWindowTitle(tr("Enter Destination"));
    setObjectName("enter_destination");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* row = new QHBoxLayout();
    destination_ = new DestinationSpinBox(minimum, maximum, this);
    destination_->setValue(initial == 0 ? 1 : initial);
    row->addWidget(NewFieldLabel(tr("Destination"), *destination_, this));
    row->addWidget(destination_, 1);
    layout->addLayout(row);
    AddButtons(*this, *layout, [this] { TryAccept(); });
}

int EnterDestinationDialog::Value() const {
    return destination_->value();
}

void EnterDestinationDialog::TryAccept() {
    if (const std::optional<std::string> problem =
            DestinationProblem(destination_->value(), minimum_, maximum_)) {
        CurrentPrompt().ShowMessage(*problem);
        destination_->setFocus();
        return;
    }
    accept();
}

EnterPortNameDialog::EnterPortNameDialog(const std::vector<std::string>& names,
                                         const std::string& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Enter PortName"));
    setObjectName("enter_portname");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* row = new QHBoxLayout();
    names_ = PortNameList(names, initial, this);
    row->addWidget(NewFieldLabel(tr("PortName"), *names_, this));
    row->addWidget(names_, 1);
    layout->addLayout(row);
    AddButtons(*this, *layout, [this] { accept(); });
}

std::string EnterPortNameDialog::Name() const {
    return SelectedName(*names_);
}

EnterPortAndDestinationDialog::EnterPortAndDestinationDialog(const std::vector<std::string>& names,
                                                             const std::string& initial,
                                                             int destination, int minimum,
                                                             int maximum, QWidget* parent)
    : QDialog(parent), minimum_(minimum), maximum_(maximum) {
    setWindowTitle(tr("Enter PortName & Destination"));
    setObjectName("enter_portname_destination");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout();
    names_ = PortNameList(names, initial, this);
    destination_ = new DestinationSpinBox(minimum, maximum, this);
    destination_->setValue(destination == 0 ? 1 : destination);
    grid->addWidget(NewFieldLabel(tr("PortName"), *names_, this), 0, 0);
    grid->addWidget(names_, 0, 1);
    grid->addWidget(NewFieldLabel(tr("Destination"), *destination_, this), 1, 0);
    grid->addWidget(destination_, 1, 1);
    layout->addLayout(grid);
    AddButtons(*this, *layout, [this] { TryAccept(); });
}

std::string EnterPortAndDestinationDialog::Name() const {
    return SelectedName(*names_);
}

int EnterPortAndDestinationDialog::Destination() const {
    return destination_->value();
}

void EnterPortAndDestinationDialog::TryAccept() {
    const int value = destination_->value();
    if (const std::optional<std::string> problem = DestinationProblem(value, minimum_, maximum_)) {
        CurrentPrompt().ShowMessage(*problem);
        destination_->setValue(value < minimum_ ? minimum_ : maximum_);
        destination_->setFocus();
        return;
    }
    accept();
}

}  // namespace kelcmd::dialogs
