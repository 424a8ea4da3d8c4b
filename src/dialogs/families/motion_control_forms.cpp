// The motion control family's forms that are code: the wait mode's two choices, the moves' own
// answer timeout, and the home procedures' names.
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/families/form_table.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

// The two waits of SetWaitMode and the code that stands for each combination
// (trajectory, homing): neither 2, homing only 0, both 1, trajectory only 3.
constexpr uint8_t kWaitModeCodes[2][2] = {{2, 0}, {3, 1}};

std::pair<int, int> WaitsOfCode(uint32_t code) {
    for (int trajectory = 0; trajectory < 2; ++trajectory) {
        for (int homing = 0; homing < 2; ++homing) {
            if (kWaitModeCodes[trajectory][homing] == code) return {trajectory, homing};
        }
    }
    return {0, 0};  // any other value shows as waiting for neither
}

}  // namespace

const std::vector<std::string>& HomeProcedureNames() {
    static const std::vector<std::string> names = {"Index of the encoder",
                                                   "Reference switch ( input pin INP_HOME)",
                                                   "Reference switch & index of the encoder",
                                                   "Limit switch left ( input pin INP_LIML)",
                                                   "Limit switch left & index of the encoder",
                                                   "Limit switch right ( input pin INP_LIMR)",
                                                   "Limit switch right & index of the encoder",
                                                   "Current index",
                                                   "Current index & index of the encoder"};
    return names;
}

int EditWaitMode(CKelStandardCommand& command) {
    const FormLayout form{"SetWaitMode",
                          {Choice("", "Trajectory", {"No waiting", "Waiting for trajectory"}),
                           Choice("", "Homing", {"No waiting", "Waiting for homing"})}};
    CParameterList& wire = command.Wire();
    const int index = wire.FindSend("waitMode");
    if (index < 0) return 0;
    return EditCommandForm(
        form, command,
        [&](std::vector<FieldValue>& values) {
            const auto [trajectory, homing] =
                WaitsOfCode(ReadUnsigned(wire.GetSendValue(index).first(1)));
            values[0].choice = trajectory;
            values[1].choice = homing;
        },
        [&](const std::vector<FieldValue>& values) {
            const uint8_t code = kWaitModeCodes[values[0].choice == 1][values[1].choice == 1];
            wire.SetSendValue(static_cast<size_t>(index), &code, 1);
        });
}

// MoveAbsolute and MoveRelative carry no timeout on the wire: their "Timeout" is the answer
// timeout alone.
int EditInputForm(CKelStandardCommand& command, const FormLayout& input) {
    return EditCommandForm(input, command);
}

}  // namespace kelcmd::dialogs
