// The dialogs of the dialogs library, each opened once and filled from a simulated unit on Com1:
// the snapshot program pictures them, a test reads their accessibility tree.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace kelcmd::dialogs {

// Called with each dialog shown, laid out and with its events processed; the tour hides it after.
using DialogVisitor = std::function<void(QWidget& dialog, const std::string& name)>;

// Needs a QApplication. Maps Com1 to the simulated bus and opens it for the tour's length;
// false (and nothing visited) when the port does not open.
bool VisitEveryDialog(const DialogVisitor& visit);

}  // namespace kelcmd::dialogs
