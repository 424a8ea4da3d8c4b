#pragma once

#include <functional>

class QBoxLayout;
class QDialog;

namespace kelcmd::dialogs {

// Appends the row of "&OK" (the default button) and "&Cancel" at the right end of a dialog, named
// "ok" and "cancel" so that tests find them. OK runs `onOk` (accepting the dialog when empty),
// Cancel rejects.
void AddOkCancelRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk = {});

}  // namespace kelcmd::dialogs
