#include "dialogs/toolkit/wait_window.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QVBoxLayout>
#include <mutex>
#include <thread>

namespace kelcmd::dialogs {
namespace {

// A bus exchange cannot be interrupted, so Escape and the close button do nothing.
class WaitWindow final : public QDialog {
  public:
    explicit WaitWindow(const QString& title) {
        setWindowTitle(title);
        setObjectName("wait_window");
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(tr("Executing %1, please wait ...").arg(title), this));
        auto* busy = new QProgressBar(this);
        busy->setRange(0, 0);
        busy->setTextVisible(false);
        layout->addWidget(busy);
        setMinimumWidth(300);
    }
    void reject() override {}
};

}  // namespace

int RunWhileWaiting(const QString& title, const std::function<int()>& work) {
    WaitWindow window(title);
    QEventLoop loop;
    std::mutex lock;
    int result = 0;
    window.show();
    std::thread worker([&] {
        int outcome = 0;
        try {
            outcome = work();
        } catch (...) {
            outcome = 0;
        }
        {
            std::lock_guard<std::mutex> guard(lock);
            result = outcome;
        }
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    window.hide();
    std::lock_guard<std::mutex> guard(lock);
    return result;
}

}  // namespace kelcmd::dialogs
