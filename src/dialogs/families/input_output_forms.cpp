// The input/output family: digital inputs one by one or as a byte, waiting for an input, the
// outputs, an analog input and the user PWM.
#include <cstdio>

#include "command/parameter_list.h"
#include "dialogs/families/form_table.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

// "The input 'HOME' is active!" for the predefined inputs 9 to 15, "The input 3 is not active!"
// for the user inputs.
std::string InputStateMessage(const CParameterList& wire) {
    static const char* const predefined[] = {"ENABLE",    "LEFT", "RIGHT",   "HOME",
                                             "ENC_INDEX", "STOP", "DIG_OVLD"};
    const int input = static_cast<int>(ReadUnsigned(wire.GetSendValue(0)) & 0xFF);
    const bool active = (ReadUnsigned(wire.GetReturnValue(0)) & 0xFF) != 0;
    std::string text;
    if (input >= 9 && input <= 15) {
        text = std::string("The input '") + predefined[input - 9] + "' is ";
    } else {
        text = "The input " + std::to_string(input) + " is ";
    }
    return text + (active ? "active!" : "not active!");
}

std::string AnalogInputMessage(const CParameterList& wire) {
    char text[64];
    std::snprintf(text, sizeof text, "Analog input %i: %i",
                  static_cast<int>(ReadUnsigned(wire.GetSendValue(0)) & 0xFF),
                  static_cast<int>(ReadUnsigned(wire.GetReturnValue(0)) & 0xFFFF));
    return text;
}

}  // namespace

void AddInputOutputForms(FormTable& table) {
    table["ReadInput"] = {
        .input =
            FormLayout{"ReadInput",
                       {Choice("inputNb", "Which input do you want to read?", InputNames(), 1)}},
        .resultMessage = InputStateMessage};
    table["ReadInputByte"] = {
        .input = FormLayout{"ReadInputByte",
                            {Choice("portNb", "Inputs",
                                    {"Read the user inputs", "Read the predefined inputs"})}},
        .result =
            FormLayout{"ReadInputByte", {Bits("state", "State", NumberedBits("Bit ", 0, 8))}}};
    table["WaitForInput"] = {
        .input = FormLayout{"WaitForInput",
                            {List("inputNb", "Input Number", InputNames(), 1),
                             Choice("state", "Signal",
                                    {"Wait until signal is removed", "Wait until signal is set"}),
                             Timeout("timeout")}}};
    table["SetOutput"] = {
        .input = FormLayout{
            "SetOutput",
            {List("outputNb", "Output Number", NumberedNames("Output ", 1, 6), 1),
             Choice("state", "Output State", {"Set output inactive", "Set output active"})}}};
    table["SetOutputByte"] = {
        .input =
            FormLayout{"SetOutputByte", {Bits("state", "Outputs", NumberedBits("Output ", 1, 6))}}};
    table["ReadAnalogInput"] = {
        .input = FormLayout{"ReadAnalogInput",
                            {List("channel", "Analog Input", NumberedNames("Channel ", 0, 4))}},
        .resultMessage = AnalogInputMessage};
    FieldLayout duty = Number("dutycycle", "Duty Cycle", "permille");
    duty.range = std::pair<int64_t, int64_t>{0, 1000};
    table["SetUserPWM"] = {.input = FormLayout{"SetUserPWM", {duty}}};
}

}  // namespace kelcmd::dialogs
