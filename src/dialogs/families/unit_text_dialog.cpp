#include "dialogs/families/unit_text_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "api/unit_texts.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/field_labels.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {

UnitTextState DescribeUnitText(UnitTextKind kind, int16_t number) {
    const UnitText text =
        kind == UnitTextKind::kError ? LookupUnitError(number) : LookupUnitWarning(number);
    return UnitTextState{number, std::string(text.mnemonic), std::string(text.text), number != 0};
}

UnitTextDialog::UnitTextDialog(UnitTextKind kind, int16_t number, ClearAndRead clearAndRead,
                               QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      state_(DescribeUnitText(kind, number)),
      clearAndRead_(std::move(clearAndRead)) {
    const QString title = kind == UnitTextKind::kError ? "ReadError" : "ReadWarning";
    setWindowTitle(title);
    setObjectName(title.toLower());
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout();
    number_ = new QLineEdit(this);
    number_->setObjectName("number");
    number_->setReadOnly(true);
    mnemonic_ = new QLineEdit(this);
    mnemonic_->setObjectName("mnemonic");
    mnemonic_->setReadOnly(true);
    mnemonic_->setMinimumWidth(200);
    text_ = new QLabel(this);
    text_->setObjectName("text");
    text_->setWordWrap(true);
    text_->setMinimumWidth(300);
    grid->addWidget(NewFieldLabel(tr("Number"), *number_, this), 0, 0);
    grid->addWidget(number_, 0, 1);
    grid->addWidget(NewFieldLabel(tr("Mnemonic"), *mnemonic_, this), 1, 0);
    grid->addWidget(mnemonic_, 1, 1);
    grid->addWidget(text_, 2, 0, 1, 2);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout();
    clear_ = new QPushButton(tr("&Clear"), this);
    clear_->setObjectName("clear");
    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(clear_, &QPushButton::clicked, this, [this] { Clear(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    Show();
}

void UnitTextDialog::Show() {
    number_->setText(QString::number(state_.number));
    mnemonic_->setText(QString::fromStdString(state_.mnemonic));
    text_->setText(QString::fromStdString(state_.text));
    clear_->setEnabled(state_.clearEnabled);
}

void UnitTextDialog::Clear() {
    if (!state_.clearEnabled || !clearAndRead_) return;
    const std::optional<int16_t> number = clearAndRead_();
    if (!number) {
        CurrentPrompt().ShowMessage(kCommandFailed);
        return;
    }
    state_ = DescribeUnitText(kind_, *number);
    Show();
}

}  // namespace kelcmd::dialogs
