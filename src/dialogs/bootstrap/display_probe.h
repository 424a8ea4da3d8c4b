#pragma once

#include <string>

namespace kelcmd::dialogs {

// Where a Qt application may show its windows. Qt ends the process when its platform plugin cannot
// start (no X server, a plugin that is not installed), so the choice is made here first, from the
// environment and a probe of the display, and a host without a display gets a reason instead.
struct PlatformChoice {
    bool usable = false;
    // The platform plugin to ask for ("xcb", "wayland"), or empty to leave QT_QPA_PLATFORM to Qt.
    std::string platform;
    // Why no window can be shown (when not usable).
    std::string reason;
};

PlatformChoice ChoosePlatform();

}  // namespace kelcmd::dialogs
