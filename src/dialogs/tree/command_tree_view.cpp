#include "dialogs/tree/command_tree_view.h"

#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <array>

#include "command/command_clipboard.h"
#include "command/command_tree.h"
#include "dialogs/clipboard/command_mime.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {
namespace {

QIcon DrawIcon(TreeIcon icon) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool selected = icon == kSelectedCommandIcon || icon == kSelectedFolderIcon;
    if (icon == kFolderIcon || icon == kSelectedFolderIcon) {
        painter.setPen(QColor(150, 110, 20));
        painter.setBrush(selected ? QColor(255, 220, 110) : QColor(230, 180, 60));
        painter.drawRect(1, 4, 14, 10);
        painter.drawRect(1, 2, 6, 2);
    } else {
        painter.setPen(QColor(30, 60, 130));
        painter.setBrush(selected ? QColor(120, 200, 255) : QColor(70, 120, 210));
        painter.drawEllipse(3, 3, 10, 10);
    }
    return QIcon(pixmap);
}

// The row shows the selected icon while it is the current row.
void FollowSelection(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    auto show = [](QTreeWidgetItem* row, bool selected) {
        if (row == nullptr) return;
        const int icon = row->data(0, selected ? kSelectedIconRole : kIconRole).toInt();
        row->setIcon(0, CommandTreeIcon(static_cast<TreeIcon>(icon)));
    };
    show(previous, false);
    show(current, true);
}

}  // namespace

const QIcon& CommandTreeIcon(TreeIcon icon) {
    static const std::array<QIcon, 4> icons = {
        DrawIcon(kCommandIcon), DrawIcon(kSelectedCommandIcon), DrawIcon(kFolderIcon),
        DrawIcon(kSelectedFolderIcon)};
    return icons[static_cast<size_t>(icon)];
}

CommandTreeWidget::CommandTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

CCommand* CommandTreeWidget::CommandAt(const QTreeWidgetItem* row) const {
    if (row == nullptr) return nullptr;
    return resolver_ ? resolver_(row) : CommandOfRow(row);
}

QStringList CommandTreeWidget::mimeTypes() const {
    QStringList types;
    for (const char* format : kCommandFormats) types << CommandMimeType(format);
    return types;
}

std::unique_ptr<QMimeData> CommandTreeWidget::DragData(const QTreeWidgetItem* row) const {
    const CCommand* command = CommandAt(row);
    if (command == nullptr) return nullptr;
    return CommandMimeData(*command);
}

QMimeData* CommandTreeWidget::mimeData(const QList<QTreeWidgetItem*>& rows) const {
    // A folder row carries nothing, so no drag starts from it.
    if (rows.size() != 1) return nullptr;
    return DragData(rows.front()).release();  // the drag owns it
}

CommandTreeWidget* NewCommandTreeView(QWidget* parent) {
    auto* view = new CommandTreeWidget(parent);
    view->setObjectName("tree");
    NameField(*view, "Commands");
    view->setHeaderHidden(true);
    view->setRootIsDecorated(true);
    view->setItemsExpandable(true);
    view->setExpandsOnDoubleClick(true);
    QObject::connect(view, &QTreeWidget::currentItemChanged, view, &FollowSelection);
    return view;
}

QTreeWidgetItem* AddTreeRow(QTreeWidget& view, QTreeWidgetItem* parent, const QString& text,
                            TreeIcon icon, TreeIcon selectedIcon, quintptr data) {
    auto* row = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&view);
    row->setText(0, text);
    row->setIcon(0, CommandTreeIcon(icon));
    row->setData(0, kIconRole, static_cast<int>(icon));
    row->setData(0, kSelectedIconRole, static_cast<int>(selectedIcon));
    row->setData(0, kItemDataRole, QVariant::fromValue<quintptr>(data));
    return row;
}

void InsertIntoTreeView(QTreeWidget& view, CCommandTreeItem& item, QTreeWidgetItem* parent,
                        bool showSelf) {
    if (auto* folder = dynamic_cast<CCommandTree*>(&item)) {
        QTreeWidgetItem* row = parent;
        if (showSelf) {
            row = AddTreeRow(view, parent, QString::fromStdString(folder->GetName()), kFolderIcon,
                             kSelectedFolderIcon, 0);
            folder->SetTreeHandle(reinterpret_cast<uintptr_t>(row));
        }
        for (const auto& child : folder->GetChildren()) {
            InsertIntoTreeView(view, *child, row, true);
        }
    } else if (auto* leaf = dynamic_cast<CCommandTreeLeaf*>(&item)) {
        QTreeWidgetItem* row =
            AddTreeRow(view, parent, QString::fromStdString(leaf->GetName()), kCommandIcon,
                       kSelectedCommandIcon, reinterpret_cast<quintptr>(leaf->GetCommand()));
        leaf->SetTreeHandle(reinterpret_cast<uintptr_t>(row));
    }
}

CCommand* CommandOfRow(const QTreeWidgetItem* row) {
    if (row == nullptr) return nullptr;
    return reinterpret_cast<CCommand*>(row->data(0, kItemDataRole).value<quintptr>());
}

void SelectFirstRow(QTreeWidget& view) {
    view.setFocus();
    if (view.topLevelItemCount() > 0) view.setCurrentItem(view.topLevelItem(0));
}

}  // namespace kelcmd::dialogs
