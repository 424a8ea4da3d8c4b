#pragma once

#include <QString>
#include <functional>

namespace kelcmd::dialogs {

// Runs `work` on a worker thread while a modal wait window titled `title` is shown, and returns
// its result once the worker has finished. The GUI thread keeps running its event loop meanwhile
// (prompts of other threads are served); the window cannot be closed by the user. An exception
// from `work` counts as 0.
int RunWhileWaiting(const QString& title, const std::function<int()>& work);

}  // namespace kelcmd::dialogs
