#include "dialogs/toolkit/command_runner.h"

#include <mutex>

#include "command/command_family.h"
#include "command/command_stack.h"
#include "command/kel_standard_command.h"
#include "dialogs/toolkit/wait_window.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr uint32_t kLongAnswerMs = 1000;

}  // namespace

std::unique_ptr<CKelStandardCommand> CopyPrototype(CCommandFamily& family,
                                                   const std::string& name) {
    const CKelStandardCommand* prototype = family.GetPrototype(name);
    if (prototype == nullptr) return nullptr;
    auto copy = std::make_unique<CKelStandardCommand>();
    std::lock_guard<std::mutex> guard(family.PrototypeLock());
    copy->CopyFrom(*prototype);
    return copy;
}

void StorePrototype(CCommandFamily& family, const CKelStandardCommand& command) {
    CKelStandardCommand* prototype = family.GetPrototype(command.GetName());
    if (prototype == nullptr) return;
    std::lock_guard<std::mutex> guard(family.PrototypeLock());
    prototype->CopyFrom(command);
    prototype->Wire().UnbindAll();
}

int BindTarget(CKelStandardCommand& command, const char* port, uint8_t slave) {
    const bool havePort = port != nullptr && port[0] != '\0';
    if (havePort && slave != 0) {
        command.SetPortName(port);
        command.SetDestination(slave);
        return 1;
    }
    if (havePort) {
        command.SetPortName(port);
        return command.EditDestination();
    }
    if (slave != 0) {
        command.SetDestination(slave);
        return command.EditPortName();
    }
    return command.EditPortAndDestination();
}

bool TakesLong(const CKelStandardCommand& command) {
    const uint32_t timeout = command.GetAnswerTimeout();
    return timeout == 0 || timeout > kLongAnswerMs;
}

int ExecuteCommand(CCommandFamily& family, CKelStandardCommand& command) {
    const CCommandStack* stack = family.GetStack();
    const bool stacking =
        stack != nullptr && stack->IsStacking(command.GetPortName(), command.GetDestination());
    if (stacking || !TakesLong(command)) return family.Execute(&command);
    return RunWhileWaiting(QString::fromStdString(command.GetName()),
                           [&family, &command] { return family.Execute(&command); });
}

int RunCommandDialog(CCommandFamily& family, const std::string& name, const char* port,
                     uint8_t slave, CParameterList* results) {
    std::unique_ptr<CKelStandardCommand> command = CopyPrototype(family, name);
    if (!command) return 0;
    if (BindTarget(*command, port, slave) == 0) return 0;
    StorePrototype(family, *command);

    if (family.EditParameters(*command) == 0) return 0;
    StorePrototype(family, *command);

    command->ClearResults();
    const int executed = ExecuteCommand(family, *command);
    StorePrototype(family, *command);
    if (executed == 0) {
        CurrentPrompt().ShowMessage(kCommandFailed);
        return 0;
    }
    if (results != nullptr) *results = command->Wire();
    if (family.ShowResults(*command) == 0) {
        CurrentPrompt().ShowMessage(kFailedShowingResults);
        return 0;
    }
    return 1;
}

}  // namespace kelcmd::dialogs
