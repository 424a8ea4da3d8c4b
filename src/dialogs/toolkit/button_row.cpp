#include "dialogs/toolkit/button_row.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace kelcmd::dialogs {

void AddOkCancelRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk) {
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto* ok = new QPushButton(QObject::tr("&OK"), &dialog);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QObject::tr("&Cancel"), &dialog);
    cancel->setObjectName("cancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout.addLayout(buttons);
    if (onOk) {
        QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
    } else {
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

}  // namespace kelcmd::dialogs
