#pragma once

#include <functional>

class QWidget;

namespace kelcmd::dialogs {

// Runs `action` (which may be empty: nothing happens) when Enter is pressed while `widget` has
// the focus, instead of letting the dialog close through its default button.
void OnEnterKey(QWidget& widget, std::function<void()> action);

}  // namespace kelcmd::dialogs
