#include "dialogs/toolkit/button_row.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace kelcmd::dialogs {

namespace {

void AddButtonRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk,
                  bool withCancel) {
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto* ok = new QPushButton(QObject::tr("&OK"), &dialog);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addWidget(ok);
    if (onOk) {
        QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
    } else {
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
    if (withCancel) {
        auto* cancel = new QPushButton(QObject::tr("&Cancel"), &dialog);
        cancel->setObjectName("cancel");
        buttons->addWidget(cancel);
        QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    }
    layout.addLayout(buttons);
}

}  // namespace

void AddOkCancelRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk) {
    AddButtonRow(dialog, layout, std::move(onOk), true);
}

void AddOkRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk) {
    AddButtonRow(dialog, layout, std::move(onOk), false);
}

QPushButton* NewButton(const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromUtf8(text));
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace kelcmd::dialogs
