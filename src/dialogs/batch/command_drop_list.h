#pragma once

#include <QTreeWidget>
#include <functional>

namespace kelcmd::dialogs {

// A list that takes commands dropped onto it: it accepts drags that carry a standard or a
// customer command (the clipboard's MIME types) and hands the dropped data on. A drop is always a
// copy, so the source keeps its row.
class CommandDropList : public QTreeWidget {
    Q_OBJECT
  public:
    using DropHandler = std::function<void(const QMimeData&)>;
    explicit CommandDropList(QWidget* parent = nullptr);
    void SetDropHandler(DropHandler handler) { onDrop_ = std::move(handler); }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    DropHandler onDrop_;
};

}  // namespace kelcmd::dialogs
