#include "dialogs/editors/value_editors.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "command/parameter_types.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

// Title, caption and layout shared by the editors; the value's widgets go between caption and
// buttons. "&OK" runs `accept`.
template <class Accept>
QVBoxLayout* Frame(QDialog& dialog, const std::string& caption, Accept accept) {
    dialog.setWindowTitle(QObject::tr("Edit Value"));
    dialog.setObjectName("edit_value");
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* label = new QLabel(QString::fromStdString(caption), &dialog);
    label->setObjectName("caption");
    layout->addWidget(label);
    auto* body = new QVBoxLayout();
    layout->addLayout(body);
    layout->addSpacing(6);
    AddOkCancelRow(dialog, *layout, accept);
    return body;
}

}  // namespace

NumberEditorDialog::NumberEditorDialog(const std::string& caption, uint8_t type,
                                       std::vector<uint8_t> value, QWidget* parent)
    : QDialog(parent), type_(type), value_(std::move(value)) {
    QVBoxLayout* body = Frame(*this, caption, [this] { TryAccept(); });
    edit_ = new QLineEdit(this);
    edit_->setObjectName("value");
    // The caption above names the value it edits.
    LabelField(*findChild<QLabel*>("caption"), *edit_);
    edit_->setMinimumWidth(200);
    if (IsNumberType(type_)) edit_->setText(QString::fromStdString(FormatNumber(type_, value_)));
    body->addWidget(edit_);
}

void NumberEditorDialog::TryAccept() {
    NumberCheck check = ParseNumber(type_, edit_->text().toStdString());
    if (!check.ok) {
        CurrentPrompt().ShowMessage(check.message);
        if (check.corrected) edit_->setText(QString::fromStdString(*check.corrected));
        edit_->setFocus();
        edit_->selectAll();
        return;
    }
    value_ = std::move(check.bytes);
    accept();
}

BitsEditorDialog::BitsEditorDialog(const std::string& caption, uint8_t type,
                                   std::vector<uint8_t> value, QWidget* parent)
    : QDialog(parent), type_(type), value_(std::move(value)) {
    QVBoxLayout* body = Frame(*this, caption, [this] { TryAccept(); });
    auto* grid = new QGridLayout();
    const uint32_t bits = ReadUnsigned(value_);
    // Rows of eight, Bit 0 first.
    for (int bit = 0; bit < BitCount(type_); ++bit) {
        auto* check = new QCheckBox(QString("Bit %1").arg(bit), this);
        check->setObjectName(QString("bit_%1").arg(bit));
        check->setChecked(((bits >> bit) & 1U) != 0);
        grid->addWidget(check, bit / 8, bit % 8);
        bits_.push_back(check);
    }
    body->addLayout(grid);
}

void BitsEditorDialog::TryAccept() {
    uint32_t bits = 0;
    for (size_t bit = 0; bit < bits_.size(); ++bit) {
        if (bits_[bit]->isChecked()) bits |= 1U << bit;
    }
    value_ = BytesOfType(type_, bits);
    accept();
}

BoolEditorDialog::BoolEditorDialog(const std::string& caption, std::vector<uint8_t> value,
                                   QWidget* parent)
    : QDialog(parent), value_(std::move(value)) {
    QVBoxLayout* body = Frame(*this, caption, [this] { TryAccept(); });
    check_ = new QCheckBox(tr("Value"), this);
    check_->setObjectName("value");
    check_->setChecked(ReadUnsigned(value_) != 0);
    body->addWidget(check_);
}

void BoolEditorDialog::TryAccept() {
    value_ = BytesOfType(TYPE_BOOL, check_->isChecked() ? 1 : 0);
    accept();
}

bool EditValue(const std::string& caption, uint8_t type, std::vector<uint8_t>& value,
               QWidget* parent) {
    if (BitCount(type) != 0) {
        BitsEditorDialog dialog(caption, type, value, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        value = dialog.Value();
        return true;
    }
    if (type == TYPE_BOOL) {
        BoolEditorDialog dialog(caption, value, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        value = dialog.Value();
        return true;
    }
    NumberEditorDialog dialog(caption, type, value, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.Value();
    return true;
}

}  // namespace kelcmd::dialogs
