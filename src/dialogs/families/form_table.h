#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/toolkit/form_layout.h"

namespace kelcmd::dialogs {

// The forms of every command that has a table entry, by command name.
using FormTable = std::map<std::string, CommandForms>;

// The forms of `command`, or null for a command without an entry (its forms are then built from
// its parameter list).
const CommandForms* FindCommandForms(const std::string& command);

// Each family adds its commands.
void AddStatusForms(FormTable& table);
void AddExceptionForms(FormTable& table);
void AddMotionInfoForms(FormTable& table);
void AddMiscellaneousForms(FormTable& table);
void AddInputOutputForms(FormTable& table);
void AddMultiAxesForms(FormTable& table);
void AddMotionControlForms(FormTable& table);
void AddSerialIoForms(FormTable& table);
void AddSystemParameterForms(FormTable& table);
void AddRecorderForms(FormTable& table);
void AddAutotuneForms(FormTable& table);
void AddCheckCrcForms(FormTable& table);
void AddUserParameterForms(FormTable& table);

// Bit names shared by several families.
const std::vector<BitLabel>& AxisStatusBits();       // the 16 bits of the axis status word
const std::vector<BitLabel>& PredefinedInputBits();  // ENABLE, *LEFT, ... of an input byte
const std::vector<BitLabel>& MotionFlagBits();       // "Done" ... "LoLimit" of the Info commands
// "Input 1" to "Input 8", "ENABLE", "LEFT", "RIGHT", "HOME", "ENC-INDEX", "STOP", "DIG_OVLD":
// the inputs by number 1 to 15.
const std::vector<std::string>& InputNames();
// The home procedures by type 1 to 9.
const std::vector<std::string>& HomeProcedureNames();

}  // namespace kelcmd::dialogs
