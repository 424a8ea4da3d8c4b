#include "dialogs/families/read_edit_write.h"

#include "command/command_family.h"
#include "command/kel_standard_command.h"
#include "dialogs/toolkit/command_runner.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {

int RunReadEditWrite(CCommandFamily& family, const ReadEditWrite& steps, const char* port,
                     uint8_t slave) {
    std::unique_ptr<CKelStandardCommand> read = CopyPrototype(family, steps.read);
    std::unique_ptr<CKelStandardCommand> write = CopyPrototype(family, steps.write);
    if (!read || !write) return 0;
    if (BindTarget(*read, port, slave) == 0) return 0;
    read->ClearResults();
    if (ExecuteCommand(family, *read) == 0 || !read->Wire().IsValid()) {
        CurrentPrompt().ShowMessage(steps.readFailed);
        return 0;
    }
    write->SetPortName(read->GetPortName());
    write->SetDestination(read->GetDestination());
    CParameterList& into = write->Wire();
    for (const auto& [from, to] : steps.feeds) {
        const int source = read->Wire().FindReturn(from);
        const int target = into.FindSend(to);
        if (source < 0 || target < 0) continue;
        const std::span<const uint8_t> value = read->Wire().GetReturnValue(source);
        into.SetSendValue(static_cast<size_t>(target), value.data(),
                          static_cast<uint32_t>(value.size()));
    }
    if (family.EditParameters(*write) == 0) return 0;
    StorePrototype(family, *write);
    if (ExecuteCommand(family, *write) == 0) {
        CurrentPrompt().ShowMessage(steps.writeFailed);
        return 0;
    }
    return 1;
}

}  // namespace kelcmd::dialogs
