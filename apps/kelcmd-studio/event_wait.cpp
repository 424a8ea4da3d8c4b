#include "event_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace kelcmd::studio {

bool RunEventsUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace kelcmd::studio
