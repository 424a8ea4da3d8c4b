#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/bootstrap/application.h"
#include "platform/hook.h"
#include "platform/prompt.h"
#include "sim/bus_registry.h"
#include "support/sim_line.h"

namespace kelcmd::studio::testing {

// Runs the event loop until `done` holds; false after `limitMs`.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

// A fresh simulated bus with units at `addresses`: its device text and the bus itself.
struct SimDevice {
    explicit SimDevice(const std::string& addresses)
        : busName(kelcmd::testing::UniqueBusName("studio")),
          text("sim:" + addresses + ",bus=" + busName) {}
    ~SimDevice() { sim::RemoveBus(busName); }
    std::shared_ptr<sim::SimBus> Bus() const { return sim::FindBus(busName); }
    std::string busName;
    std::string text;
};

// Answers the library's questions with yes and counts them.
class YesPrompt final : public Prompt {
  public:
    YesPrompt() : previous_(InstallPrompt(Unowned<Prompt>(*this))) {}
    ~YesPrompt() override { InstallPrompt(previous_); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return true;
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;

  private:
    std::shared_ptr<Prompt> previous_;
};

// Offscreen Qt with the settings in a temporary folder, never the user's.
class StudioTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(dialogs::PrepareGui(), "");
        static QTemporaryDir settings;
        QCoreApplication::setOrganizationName("KelCmdTest");
        QCoreApplication::setApplicationName("kelcmd-studio-test");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    }
};

}  // namespace kelcmd::studio::testing
