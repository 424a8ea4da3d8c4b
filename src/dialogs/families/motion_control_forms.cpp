// The motion control family: regulation mode, profile, moves, waits, stop, home and index
// searches, and the position's redefinition.
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
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
CommandForms Move(const std::string& title, FieldLayout target,
                  std::optional<FormLayout> result = std::nullopt) {
    const FormLayout form{title, {std::move(target), Timeout("")}};
    return {.result = std::move(result), .editInput = [form](CKelStandardCommand& command) {
                return EditCommandForm(form, command);
            }};
}

FormLayout MotionResult(const std::string& title) {
    return {title,
            {Number("duration", "Duration", "ms"), Bits("flags", "Flags", MotionFlagBits())}};
}

FieldLayout Grouped(FieldLayout field, const std::string& group) {
    field.group = group;
    return field;
}

std::vector<FieldLayout> HomeSearch(bool extended) {
    const std::string special = extended ? "Special Parameter" : "";
    std::vector<FieldLayout> fields = {
        Grouped(List("hometype", "Type of home procedure", HomeProcedureNames(), 1), special),
        Grouped(Number("velocity", "HOME velocity", "qc/ms"), special),
        Grouped(Number("current", "Current threshold for Home", "mA"), special),
        Grouped(Number("offset", "Home offset position", "qc"), special)};
    if (extended) {
        fields.push_back(
            Grouped(Number("homePosition", "Home position", "qc"), "Optional Parameter"));
    }
    fields.push_back(Grouped(Timeout("timeout"), extended ? "Search Timeout" : ""));
    return fields;
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

void AddMotionControlForms(FormTable& table) {
    table["SetRegMode"] = {.input = FormLayout{"SetRegMode",
                                               {Choice("regmode", "Regulation Mode",
                                                       {"Regulation off", "Current Mode ",
                                                        "Position Mode", "Follow Encoder"})}}};
    table["SetProfile"] = {
        .input = FormLayout{"SetProfile",
                            {Choice("profiletype", "Type of Trajectory",
                                    {"Constant acceleration", "Sinusoidal acceleration"}, 1),
                             Number("accel", "Acceleration", "qc/ms^2"),
                             Number("decel", "Deceleration", "qc/ms^2")}}};
    table["SetPosVelocity"] = {
        .input =
            FormLayout{"SetPosVelocity", {Number("posVelocity", "Ceiling Velocity", "qc/ms")}}};
    table["ReadProfile"] = {
        .result = FormLayout{
            "ReadProfile",
            {Choice("profiletype", "Type of Trajectory",
                    {"Constant acceleration", "Sinusoidal acceleration"}, 1),
             Number("accel", "Acceleration", "qc/ms^2"), Number("decel", "Deceleration", "qc/ms^2"),
             Number("ceilVel", "Ceiling velocity", "qc/ms")}}};
    table["SetWaitMode"] = {.editInput = EditWaitMode};

    const FieldLayout position = Number("position", "Position", "qc");
    const FieldLayout step = Number("relPosition", "Step", "qc");
    table["MoveAbsolute"] = Move("MoveAbsolute", position);
    table["MoveAbsoluteInfo"] = Move("MoveAbsolute", position, MotionResult("MoveAbsoluteInfo"));
    table["MoveRelative"] = Move("MoveRelative", step);
    table["MoveRelativeInfo"] = Move("MoveRelative", step, MotionResult("MoveRelativeInfo"));

    const FieldLayout velocity = Number("velocity", "Velocity", "qc/ms");
    table["SetVelocity"] = {.input = FormLayout{"SetVelocity", {velocity}}};
    table["SetVelocityInfo"] = {.input = FormLayout{"SetVelocity", {velocity}},
                                .result = MotionResult("SetVelocityInfo")};

    table["WaitForTargetPos"] = {.input = FormLayout{"WaitForTargetPos", {Timeout("timeout")}}};
    table["StopMotion"] = {
        .input = FormLayout{"StopMotion",
                            {Choice("stopMotion", "Stop Mode",
                                    {"abruptly stop trajectory on current position",
                                     "decelerate using current profile definition"})}}};
    table["FindHomeSys"] = {.input = FormLayout{"FindHomeSys", {Timeout("timeout")}}};
    table["FindHome"] = {.input = FormLayout{"FindHome", HomeSearch(false)}};
    table["FindHomeEx"] = {.input = FormLayout{"FindHomeEx", HomeSearch(true)}};
    table["FindIndex"] = {.input = FormLayout{"FindIndex", {velocity, Timeout("timeout")}}};
    table["DefinePosition"] = {.input = FormLayout{"DefinePosition", {position}}};
    table["WaitForPosition"] = {.input =
                                    FormLayout{"WaitForPosition", {position, Timeout("timeout")}}};
    table["ReadIndexDistance"] = {
        .result = FormLayout{"ReadIndexDistance", {Number("distance", "Index Distance", "qc")}}};
}

}  // namespace kelcmd::dialogs
