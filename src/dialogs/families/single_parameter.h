#pragma once

#include <cstdint>

namespace kelcmd {
class CCommandFamily;
class CKelStandardCommand;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// The parameter chooser of ReadTempParam and ReadPermanentParam: sets paramNb and gives the
// returned value the parameter's type. 1 on "&OK", 0 on "&Cancel".
int ChooseParameter(CKelStandardCommand& command);
// Name, value text and unit of the parameter read.
int ShowParameter(CKelStandardCommand& command);

// Choose a parameter, read its temporary value, edit it in a window fitting its type and write it
// back. "Error reading parameter!" / "Error writing parameter!" on failures (0); 1 when written.
int EditTempParameter(CCommandFamily& family, const char* port, uint8_t slave);

}  // namespace kelcmd::dialogs
