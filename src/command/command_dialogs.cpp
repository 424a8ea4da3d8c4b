#include "command/command_dialogs.h"

#include <atomic>

namespace kelcmd {
namespace {

std::atomic<CommandDialogs*> installed{nullptr};

}  // namespace

CommandDialogs* InstalledCommandDialogs() {
    return installed.load();
}

CommandDialogs* InstallCommandDialogs(CommandDialogs* dialogs) {
    return installed.exchange(dialogs);
}

}  // namespace kelcmd
