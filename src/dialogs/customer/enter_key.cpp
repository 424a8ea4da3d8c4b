#include "dialogs/customer/enter_key.h"

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
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (action_) action_();
        return true;
    }

  private:
    std::function<void()> action_;
};

}  // namespace

void OnEnterKey(QWidget& widget, std::function<void()> action) {
    widget.installEventFilter(new EnterKeyFilter(widget, std::move(action)));
}

}  // namespace kelcmd::dialogs
