#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace kelcmd {
class CCommand;
class CCommandTreeItem;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// The four icons of every command tree view: command, selected command, folder, selected folder.
enum TreeIcon {
    kCommandIcon = 0,
    kSelectedCommandIcon = 1,
    kFolderIcon = 2,
    kSelectedFolderIcon = 3
};
const QIcon& CommandTreeIcon(TreeIcon icon);

// Item data of a row: the command of a leaf (null for folders), or a running number.
inline constexpr int kItemDataRole = Qt::UserRole;
inline constexpr int kIconRole = Qt::UserRole + 1;
inline constexpr int kSelectedIconRole = Qt::UserRole + 2;

// A tree view with lines and expand buttons whose rows show the selected icons when selected. A
// command row can be dragged: the drag carries the command as the clipboard does, and only ever
// copies it (the row stays).
class CommandTreeWidget : public QTreeWidget {
    Q_OBJECT
  public:
    using RowResolver = std::function<CCommand*(const QTreeWidgetItem*)>;
    explicit CommandTreeWidget(QWidget* parent = nullptr);

    // How a row finds its command; by default the command in its item data.
    void SetRowResolver(RowResolver resolver) { resolver_ = std::move(resolver); }
    CCommand* CommandAt(const QTreeWidgetItem* row) const;
    // What a drag of the row carries; null for a row without a command.
    std::unique_ptr<QMimeData> DragData(const QTreeWidgetItem* row) const;

  protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& rows) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

  private:
    RowResolver resolver_;
};

CommandTreeWidget* NewCommandTreeView(QWidget* parent = nullptr);

// Inserts the subtree of `item` under `parent` (top level when null): a folder as a row with its
// children below, or with showSelf false its children at that level; a leaf as a row carrying its
// command. Remembers each row in the item's tree handle.
void InsertIntoTreeView(QTreeWidget& view, CCommandTreeItem& item, QTreeWidgetItem* parent,
                        bool showSelf);

// A row with the given text, icons and item data.
QTreeWidgetItem* AddTreeRow(QTreeWidget& view, QTreeWidgetItem* parent, const QString& text,
                            TreeIcon icon, TreeIcon selectedIcon, quintptr data);

CCommand* CommandOfRow(const QTreeWidgetItem* row);

// Focus into the tree and the first visible row selected.
void SelectFirstRow(QTreeWidget& view);

}  // namespace kelcmd::dialogs
