#include "dialogs/batch/command_drop_list.h"

#include <QDropEvent>
#include <QMimeData>

#include "dialogs/clipboard/command_mime.h"

namespace kelcmd::dialogs {
namespace {

bool TakeAsCopy(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !HasMemberMimeData(*data)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

}  // namespace

CommandDropList::CommandDropList(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
}

void CommandDropList::dragEnterEvent(QDragEnterEvent* event) {
    TakeAsCopy(event);
}

void CommandDropList::dragMoveEvent(QDragMoveEvent* event) {
    TakeAsCopy(event);
}

void CommandDropList::dropEvent(QDropEvent* event) {
    if (TakeAsCopy(event) && onDrop_) onDrop_(*event->mimeData());
}

}  // namespace kelcmd::dialogs
