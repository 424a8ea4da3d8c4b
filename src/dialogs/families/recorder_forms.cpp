// The recorder, autotuning and check-sum commands: plain forms, and the dialogs of their own that
// their exports show (dialogs/recorder), so that the command tree shows the same.
#include <cstdio>

#include "api/user_parameter_texts.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_table.h"
#include "dialogs/recorder/recorder_dialogs.h"
#include "dialogs/recorder/recorder_runs.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

FieldLayout Check(std::string parameter, std::string label) {
    FieldLayout field = Number(std::move(parameter), std::move(label));
    field.kind = FieldKind::kCheck;
    return field;
}

uint32_t Value(const CParameterList& wire, bool send, const std::string& name) {
    const int index = send ? wire.FindSend(name) : wire.FindReturn(name);
    if (index < 0) return 0;
    return ReadUnsigned(send ? wire.GetSendValue(static_cast<size_t>(index))
                             : wire.GetReturnValue(static_cast<size_t>(index)));
}

int EditWithOwnDialog(CKelStandardCommand& command) {
    return EditWithRecorderDialog(command) != 0 ? 1 : 0;
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

void AddRecorderForms(FormTable& table) {
    table["SetupRecorder"] = {.editInput = EditWithOwnDialog};
    table["RecordData"] = {.input =
                               FormLayout{"RecordData",
                                          {Choice("regulator", "Start sampling",
                                                  {"Start sampling in the position regulator",
                                                   "Start sampling in the current regulator"})}}};
    table["ReadNbOfSamples"] = {
        .result = FormLayout{
            "ReadNbOfSamples",
            {Choice("terminated", "Recording", {"Recording not finished", "Recording finished"}),
             Number("nbOfSamples", "Number of samples"), Number("period", "Sample period", "us")}}};
    FieldLayout samples = Number("nbOfSamples", "Number of samples");
    samples.range = std::make_pair(int64_t{1}, int64_t{511});
    table["ReadRecordedData"] = {
        .input = FormLayout{"ReadRecordedData",
                            {List("vector", "Vector", NumberedNames("Vector ", 0, 4)),
                             Number("firstSample", "First sample"), samples}},
        .showResult = ShowRecordedPiece};
}

void AddAutotuneForms(FormTable& table) {
    table["InitAutotune"] = {.editInput = EditWithOwnDialog};
    table["Autotune"] = {.editInput =
                             [](CKelStandardCommand& command) {
                                 ForgetKeptRecording(command);
                                 return 1;
                             },
                         .showResult =
                             [](CKelStandardCommand& command) {
                                 CurrentPrompt().ShowMessage(ImprovementText(command.Wire()));
                                 return ShowKeptRecording(command);
                             }};
    table["SquareCurrentTest"] = {.editInput =
                                      [](CKelStandardCommand& command) {
                                          ForgetKeptRecording(command);
                                          return EditWithOwnDialog(command);
                                      },
                                  .showResult = ShowKeptRecording};
    FieldLayout duty = Number("dutyCycle", "Duty Cycle", "per 266 (+/-)");
    duty.range = std::make_pair(int64_t{-266}, int64_t{266});
    duty.group = "Warning! Ensure that the motor can rotate freely!";
    FieldLayout stay = Check("stayInPWMmode", "Stay in PWM mode after recording!");
    stay.group = duty.group;
    const FormLayout pwm{"SetPWM", {duty, stay}};
    table["SetPWM"] = {.input = pwm,
                       .editInput =
                           [pwm](CKelStandardCommand& command) {
                               ForgetKeptRecording(command);
                               return EditCommandForm(pwm, command);
                           },
                       .showResult = ShowKeptRecording};
}

void AddCheckCrcForms(FormTable& table) {
    table["CheckCRC"] = {.input = FormLayout{"Check CRC",
                                             {List("memArea", "Memory area",
                                                   {MemoryAreaName(0), MemoryAreaName(1),
                                                    MemoryAreaName(2), MemoryAreaName(3)})}},
                         .resultMessage = [](const CParameterList& wire) {
                             return MemoryAreaName(Value(wire, true, "memArea")) + "\n" +
                                    CheckCrcResultText(Value(wire, false, "verResult") != 0);
                         }};
}

}  // namespace kelcmd::dialogs
