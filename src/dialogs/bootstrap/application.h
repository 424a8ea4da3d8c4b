#pragma once

#include <string>

namespace kelcmd::dialogs {

// Makes the calling thread ready to show a dialog: an application object that the host created is
// used as it is; without one, a QApplication is created now, on this thread, which becomes the GUI
// thread. Empty when a dialog can be shown; otherwise the reason why not (no display, another
// thread than the GUI thread, a host application without widgets). Safe from any thread.
std::string PrepareGui();

// A QApplication exists (the host's or ours).
bool HaveWidgetsApplication();
// The calling thread is the application object's thread.
bool OnGuiThread();
// The library created the application object (so that it runs an event loop only while one of
// its dialogs is open).
bool ApplicationIsOurs();

}  // namespace kelcmd::dialogs
