#pragma once

// What the commands' forms cannot say as data: the catalogue names these functions in its form
// lines ("edit", "show", "message", "in-check") and the generated forms table calls them.
#include "dialogs/families/put_char_dialog.h"
#include "dialogs/families/single_parameter.h"
#include "dialogs/recorder/recorder_runs.h"
#include "dialogs/toolkit/form_layout.h"  // also names the command and its parameter list

namespace kelcmd::dialogs {

// Input windows: 1 when confirmed and stored into the command, 0 when cancelled.
int EditInputForm(CKelStandardCommand& command, const FormLayout& input);  // with fields of its own
int EditWaitMode(CKelStandardCommand& command);       // two waits standing for one code
int EditStringLength(CKelStandardCommand& command);   // how many characters GetString reads
int EditWithOwnDialog(CKelStandardCommand& command);  // the recorder's own windows
// The recording tests: a new run forgets the curves of the last one.
int RestartRecording(CKelStandardCommand& command);
int RestartWithOwnDialog(CKelStandardCommand& command);
int RestartWithForm(CKelStandardCommand& command, const FormLayout& input);
// The user parameter sets' commands, through the set's structure.
int PrepareUserParameterRead(CKelStandardCommand& command, int set);
int EditUserParameterWrite(CKelStandardCommand& command, int set);

// Result windows: 1 when shown.
int ShowVersion(CKelStandardCommand& command);
int ShowImprovementAndRecording(CKelStandardCommand& command);
int ShowUserParameterRead(CKelStandardCommand& command, int set);

// Results shown as a message.
std::string MaxStackMessage(const CParameterList& wire);
std::string InputStateMessage(const CParameterList& wire);
std::string AnalogInputMessage(const CParameterList& wire);
std::string CharAvailableMessage(const CParameterList& wire);
std::string CharReadMessage(const CParameterList& wire);
std::string StringReadMessage(const CParameterList& wire);
std::string NumberMessage(const CParameterList& wire);
std::string CheckCrcMessage(const CParameterList& wire);

// Checks of an input form's texts (see TextCheck).
std::optional<std::pair<size_t, std::string>> CheckNumberAndWidth(
    const std::vector<std::string>& texts);
std::optional<std::pair<size_t, std::string>> CheckFloat(const std::vector<std::string>& texts);

// The memory areas 0 to 3 by name.
std::vector<std::string> MemoryAreaNames();

}  // namespace kelcmd::dialogs
