#include "dialogs/bootstrap/application.h"

#include <QApplication>
#include <QThread>
#include <array>
#include <atomic>
#include <mutex>

#include "dialogs/bootstrap/display_probe.h"

namespace kelcmd::dialogs {
namespace {

std::mutex creationLock;
std::atomic<bool> created{false};

// QApplication keeps references to argc and argv for its whole life, so they are static. The
// application object itself is never destroyed: at process exit Qt's own globals may already be
// gone, and a host that loaded us expects nothing to run then.
int argumentCount = 0;
std::array<char*, 4> arguments{};
std::array<std::string, 3> argumentTexts;

void CreateApplication(const PlatformChoice& choice) {
    argumentTexts = {"kelcmd-dialogs", "-platform", choice.platform};
    argumentCount = choice.platform.empty() ? 1 : 3;
    for (int i = 0; i < argumentCount; ++i) arguments[i] = argumentTexts[i].data();
    arguments[argumentCount] = nullptr;
    auto* application = new QApplication(argumentCount, arguments.data());
    application->setQuitOnLastWindowClosed(false);
    created = true;
}

}  // namespace

bool HaveWidgetsApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool OnGuiThread() {
    QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

bool ApplicationIsOurs() {
    return created.load();
}

std::string PrepareGui() {
    std::lock_guard<std::mutex> guard(creationLock);
    if (QCoreApplication::instance() == nullptr) {
        const PlatformChoice choice = ChoosePlatform();
        if (!choice.usable) return choice.reason;
        CreateApplication(choice);
    }
    if (!HaveWidgetsApplication()) {
        return "the host's application object is not a QApplication: no windows can be shown";
    }
    if (!OnGuiThread()) return "dialogs can be shown only from the GUI thread";
    return {};
}

}  // namespace kelcmd::dialogs
