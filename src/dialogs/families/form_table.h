#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/toolkit/form_layout.h"

namespace kelcmd::dialogs {

// The forms of every command the catalogue gives forms, by command name.
using FormTable = std::map<std::string, CommandForms>;

// Built from the catalogue's form lines.
FormTable CatalogueForms();

// The forms of `command`, or null for a command without an entry (its forms are then built from
// its parameter list).
const CommandForms* FindCommandForms(const std::string& command);

// Lists the catalogue's forms name, shared by several families.
const std::vector<BitLabel>& AxisStatusBits();       // the 16 bits of the axis status word
const std::vector<BitLabel>& PredefinedInputBits();  // ENABLE, *LEFT, ... of an input byte
const std::vector<BitLabel>& MotionFlagBits();       // "Done" ... "LoLimit" of the Info commands
// "Input 1" to "Input 8", "ENABLE", "LEFT", "RIGHT", "HOME", "ENC-INDEX", "STOP", "DIG_OVLD":
// the inputs by number 1 to 15.
const std::vector<std::string>& InputNames();
// The home procedures by type 1 to 9.
const std::vector<std::string>& HomeProcedureNames();

}  // namespace kelcmd::dialogs
