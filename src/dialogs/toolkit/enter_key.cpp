#include "dialogs/toolkit/enter_key.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace kelcmd::dialogs {
namespace {

// Lives as a child of the watched widget, so it goes with it.
class EnterKeyFilter final : public QObject {
  public:
    EnterKeyFilter(QWidget& widget, std::function<void()> action)
        : QObject(&widget), action_(std::move(action)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsEnterKey(event)) return QObject::eventFilter(watched, event);
        if (action_) action_();
        return true;
    }

  private:
    std::function<void()> action_;
};

}  // namespace

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void OnEnterKey(QWidget& widget, std::function<void()> action) {
    widget.installEventFilter(new EnterKeyFilter(widget, std::move(action)));
}

}  // namespace kelcmd::dialogs
