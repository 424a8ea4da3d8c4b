#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/bootstrap/application.h"
#include "event_wait.h"
#include "sim/bus_registry.h"
#include "support/sim_line.h"

namespace kelcmd::studio::testing {

// Waits for the poller's readings to reach the window.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = 10000) {
    return RunEventsUntil(done, limitMs);
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
