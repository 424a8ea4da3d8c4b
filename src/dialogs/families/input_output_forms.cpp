// The input/output family's results that are code: an input's state and an analog input's value
// as sentences.
#include <cstdio>

#include "command/parameter_list.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {

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

}  // namespace kelcmd::dialogs
