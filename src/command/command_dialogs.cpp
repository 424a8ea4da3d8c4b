#include "command/command_dialogs.h"

#include "platform/hook.h"

namespace kelcmd {
namespace {

// Never destroyed: the dialogs library may take its dialogs out at exit, after this library's
// own objects.
Hook<CommandDialogs>& DialogsHook() {
    static Hook<CommandDialogs>* const hook = new Hook<CommandDialogs>();
    return *hook;
}

}  // namespace

std::shared_ptr<CommandDialogs> InstalledCommandDialogs() {
    return DialogsHook().Current();
}

std::shared_ptr<CommandDialogs> InstallCommandDialogs(std::shared_ptr<CommandDialogs> dialogs) {
    return DialogsHook().Install(std::move(dialogs));
}

}  // namespace kelcmd
