#include "dialogs/families/put_char_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "api/serial_io_family.h"
#include "command/kel_standard_command.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {
namespace {

constexpr uint8_t kDelete = 127;
constexpr const char* kNoChar = "no char";

bool IsControl(uint8_t code) {
    return code < 32 || code == kDelete;
}

// The codes of each list after its first entry, "no char".
std::vector<uint8_t> ListCodes(bool control) {
    std::vector<uint8_t> codes;
    for (int code = 0; code < 128; ++code) {
        if (IsControl(static_cast<uint8_t>(code)) == control) {
            codes.push_back(static_cast<uint8_t>(code));
        }
    }
    return codes;
}

QComboBox* CharList(bool control, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItem(kNoChar);
    for (const uint8_t code : ListCodes(control)) {
        list->addItem(QString::fromUtf8(std::string(CharacterName(code)).c_str()));
    }
    list->setObjectName(control ? "control_chars" : "printable_chars");
    return list;
}

int EntryOf(bool control, uint8_t code) {
    const std::vector<uint8_t> codes = ListCodes(control);
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == code) return static_cast<int>(i) + 1;
    }
    return 0;
}

}  // namespace

PutCharDialog::PutCharDialog(uint8_t code, QWidget* parent) : QDialog(parent), code_(code) {
    setWindowTitle("PutChar");
    setObjectName("putchar");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout();
    number_ = new QLineEdit(this);
    grid->addWidget(NewFieldLabel(tr("Selected Ascii Number"), *number_, this), 0, 0);
    number_->setObjectName("selected_ascii_number");
    number_->setReadOnly(true);
    grid->addWidget(number_, 0, 1);
    layout->addLayout(grid);

    auto* selection = new QGroupBox(tr("Selection"), this);
    auto* lists = new QGridLayout(selection);
    control_ = new QRadioButton(tr("Control Char"), selection);
    control_->setObjectName("control_char");
    printable_ = new QRadioButton(tr("Printable Char"), selection);
    printable_->setObjectName("printable_char");
    controlList_ = CharList(true, selection);
    printableList_ = CharList(false, selection);
    // The radio button beside each list says what it holds.
    NameField(*controlList_, control_->text());
    NameField(*printableList_, printable_->text());
    lists->addWidget(control_, 0, 0);
    lists->addWidget(controlList_, 0, 1);
    lists->addWidget(printable_, 1, 0);
    lists->addWidget(printableList_, 1, 1);
    layout->addWidget(selection);

    AddOkCancelRow(*this, *layout);

    Select(code);
    connect(control_, &QRadioButton::toggled, this, [this](bool on) { UseList(on); });
    for (QComboBox* list : {controlList_, printableList_}) {
        const bool control = list == controlList_;
        connect(list, &QComboBox::currentIndexChanged, this, [this, control](int entry) {
            if (entry <= 0) return;  // "no char" leaves the character as it is
            Select(ListCodes(control).at(static_cast<size_t>(entry - 1)));
        });
    }
}

void PutCharDialog::Select(uint8_t code) {
    code_ = code;
    number_->setText(QString::number(code));
    const bool control = IsControl(code) || code > kDelete;
    QSignalBlocker blockControl(controlList_);
    QSignalBlocker blockPrintable(printableList_);
    QSignalBlocker blockRadio(control_);
    control_->setChecked(control);
    printable_->setChecked(!control);
    controlList_->setCurrentIndex(control ? EntryOf(true, code) : 0);
    printableList_->setCurrentIndex(control ? 0 : EntryOf(false, code));
    controlList_->setEnabled(control);
    printableList_->setEnabled(!control);
}

void PutCharDialog::UseList(bool control) {
    controlList_->setEnabled(control);
    printableList_->setEnabled(!control);
    QComboBox* list = control ? controlList_ : printableList_;
    (control ? printableList_ : controlList_)->setCurrentIndex(0);
    // Switching lists picks that list's first character until another is chosen.
    if (list->currentIndex() <= 0) list->setCurrentIndex(1);
}

int EditPutChar(CKelStandardCommand& command) {
    CParameterList& wire = command.Wire();
    const int index = wire.FindSend("char");
    if (index < 0) return 0;
    const std::span<const uint8_t> value = wire.GetSendValue(static_cast<size_t>(index));
    PutCharDialog dialog(value.empty() ? 0 : value[0], QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return 0;
    const uint8_t code = dialog.Code();
    wire.SetSendValue(static_cast<size_t>(index), &code, 1);
    return 1;
}

}  // namespace kelcmd::dialogs
