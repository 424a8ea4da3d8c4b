#pragma once

#include <functional>

class QBoxLayout;
class QDialog;
class QPushButton;

namespace kelcmd::dialogs {

// Appends the row of "&OK" (the default button) and "&Cancel" at the right end of a dialog, named
// "ok" and "cancel" so that tests find them. OK runs `onOk` (accepting the dialog when empty),
// Cancel rejects.
void AddOkCancelRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk = {});
// The same row with "&OK" alone, for windows that only show.
void AddOkRow(QDialog& dialog, QBoxLayout& layout, std::function<void()> onOk = {});

// A button named for tests that Enter does not press unless it has the focus.
QPushButton* NewButton(const char* text, const char* objectName);

}  // namespace kelcmd::dialogs
