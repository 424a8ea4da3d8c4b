// The recorder, autotuning and check-sum commands as far as plain forms show them; the set-up,
// autotuning and square current inputs have dialogs of their own (dialogs/recorder).
#include <cstdio>

#include "api/user_parameter_texts.h"
#include "command/parameter_list.h"
#include "dialogs/families/form_table.h"
#include "dialogs/toolkit/typed_value.h"

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

}  // namespace

void AddRecorderForms(FormTable& table) {
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
                             Number("firstSample", "First sample"), samples}}};
}

void AddAutotuneForms(FormTable& table) {
    table["Autotune"] = {.resultMessage = [](const CParameterList& wire) {
        char text[64];
        std::snprintf(text, sizeof text, "The improvement factor is %i",
                      static_cast<int>(static_cast<int16_t>(Value(wire, false, "improveFactor"))));
        return std::string(text);
    }};
    FieldLayout duty = Number("dutyCycle", "Duty Cycle", "per 266 (+/-)");
    duty.range = std::make_pair(int64_t{-266}, int64_t{266});
    duty.group = "Warning! Ensure that the motor can rotate freely!";
    FieldLayout stay = Check("stayInPWMmode", "Stay in PWM mode after recording!");
    stay.group = duty.group;
    table["SetPWM"] = {.input = FormLayout{"SetPWM", {duty, stay}}};
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
