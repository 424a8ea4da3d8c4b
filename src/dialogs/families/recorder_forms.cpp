// The recorder's, the autotuning's and the check-sum's forms that are code: the recorder's own
// windows, the tests' kept curves, and the check-sum's verdict.
#include <cstdio>

#include "api/user_parameter_texts.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/recorder/recorder_dialogs.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

uint32_t Value(const CParameterList& wire, bool send, const std::string& name) {
    const int index = send ? wire.FindSend(name) : wire.FindReturn(name);
    if (index < 0) return 0;
    return ReadUnsigned(send ? wire.GetSendValue(static_cast<size_t>(index))
                             : wire.GetReturnValue(static_cast<size_t>(index)));
}

// The curves a test keeps belong to its last run: a new run reads them again.
void ForgetKeptRecording(CKelStandardCommand& command) {
    command.Extra().SetValid(false);
}

std::string ImprovementText(const CParameterList& wire) {
    char text[64];
    std::snprintf(text, sizeof text, "The improvement factor is %i",
                  static_cast<int>(static_cast<int16_t>(Value(wire, false, "improveFactor"))));
    return text;
}

}  // namespace

int EditWithOwnDialog(CKelStandardCommand& command) {
    return EditWithRecorderDialog(command) != 0 ? 1 : 0;
}

int RestartRecording(CKelStandardCommand& command) {
    ForgetKeptRecording(command);
    return 1;
}

int RestartWithOwnDialog(CKelStandardCommand& command) {
    ForgetKeptRecording(command);
    return EditWithOwnDialog(command);
}

int RestartWithForm(CKelStandardCommand& command, const FormLayout& input) {
    ForgetKeptRecording(command);
    return EditCommandForm(input, command);
}

int ShowImprovementAndRecording(CKelStandardCommand& command) {
    CurrentPrompt().ShowMessage(ImprovementText(command.Wire()));
    return ShowKeptRecording(command);
}

std::vector<std::string> MemoryAreaNames() {
    return {MemoryAreaName(0), MemoryAreaName(1), MemoryAreaName(2), MemoryAreaName(3)};
}

std::string CheckCrcMessage(const CParameterList& wire) {
    return MemoryAreaName(Value(wire, true, "memArea")) + "\n" +
           CheckCrcResultText(Value(wire, false, "verResult") != 0);
}

}  // namespace kelcmd::dialogs
