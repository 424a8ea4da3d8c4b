#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {

const CommandForms* FindCommandForms(const std::string& command) {
    static const FormTable table = CatalogueForms();
    const auto found = table.find(command);
    return found != table.end() ? &found->second : nullptr;
}

const std::vector<BitLabel>& AxisStatusBits() {
    // In the order the status window lists them, each with its bit in the status word.
    static const std::vector<BitLabel> bits = {
        {0, "Moving"},  {1, "CteVel"},  {2, "Sinus"},   {3, "VelMode"},
        {5, "WaitEnd"}, {6, "LoLimit"}, {7, "HiLimit"}, {8, "Error"},
        {9, "Warning"}, {10, "CurReg"}, {11, "PosReg"}, {12, "Referenced"},
        {13, "Home"},   {14, "Right"},  {15, "Left"},   {4, "CmdActive"}};
    return bits;
}

const std::vector<BitLabel>& PredefinedInputBits() {
    static const std::vector<BitLabel> bits = {{0, "ENABLE"},  {1, "*LEFT"},         {2, "*RIGHT"},
                                               {3, "*HOME"},   {4, "ENCODER_INDEX"}, {5, "STOP"},
                                               {6, "DIG_OVLD"}};
    return bits;
}

const std::vector<BitLabel>& MotionFlagBits() {
    static const std::vector<BitLabel> bits = {{0, "Done"},    {1, "Overshoot"}, {2, "Trapez"},
                                               {3, "VmaxNeg"}, {4, "UpLimit"},   {5, "LoLimit"}};
    return bits;
}

const std::vector<std::string>& InputNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all = NumberedNames("Input ", 1, 8);
        for (const char* name :
             {"ENABLE", "LEFT", "RIGHT", "HOME", "ENC-INDEX", "STOP", "DIG_OVLD"}) {
            all.emplace_back(name);
        }
        return all;
    }();
    return names;
}

}  // namespace kelcmd::dialogs
