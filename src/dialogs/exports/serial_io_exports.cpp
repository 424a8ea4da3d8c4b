// The RS232 input/output family's dialog exports.
#include "dialogs/exports/family_dialog_export.h"

extern "C" {

KELCMD_FAMILY_DIALOG(SerialIo, PutChar)
KELCMD_FAMILY_DIALOG(SerialIo, PutString)
KELCMD_FAMILY_DIALOG(SerialIo, IsCharAvailable)
KELCMD_FAMILY_DIALOG(SerialIo, GetChar)
KELCMD_FAMILY_DIALOG(SerialIo, GetString)
KELCMD_FAMILY_DIALOG(SerialIo, PutWord_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, PutInt_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, PutLWord_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, PutLong_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, PutFloat_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, PutWord_Hex)
KELCMD_FAMILY_DIALOG(SerialIo, PutLWord_Hex)
KELCMD_FAMILY_DIALOG(SerialIo, PutByte_Bin)
KELCMD_FAMILY_DIALOG(SerialIo, PutWord_Bin)
KELCMD_FAMILY_DIALOG(SerialIo, GetWord_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, GetInt_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, GetLWord_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, GetLong_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, GetFloat_Dec)
KELCMD_FAMILY_DIALOG(SerialIo, GetWord_Hex)
KELCMD_FAMILY_DIALOG(SerialIo, GetLWord_Hex)

}  // extern "C"
