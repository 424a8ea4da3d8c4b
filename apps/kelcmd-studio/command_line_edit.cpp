#include "command_line_edit.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>

namespace kelcmd::studio {

CommandLineEdit::CommandLineEdit(QWidget* parent) : QLineEdit(parent) {}

void CommandLineEdit::keyPressEvent(QKeyEvent* event) {
    const bool popupShown = completer() != nullptr && completer()->popup()->isVisible();
    if (!popupShown && event->key() == Qt::Key_Up) {
        setText(QString::fromStdString(history_.Older()));
        return;
    }
    if (!popupShown && event->key() == Qt::Key_Down) {
        setText(QString::fromStdString(history_.Newer()));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace kelcmd::studio
