#pragma once

#include <functional>

class QEvent;
class QWidget;

namespace kelcmd::dialogs {

// Whether the event is a press of Return or Enter.
bool IsEnterKey(const QEvent* event);

// Runs `action` (which may be empty: nothing happens) when Enter is pressed while `widget` has
// the focus, instead of letting the dialog close through its default button.
void OnEnterKey(QWidget& widget, std::function<void()> action);

}  // namespace kelcmd::dialogs
