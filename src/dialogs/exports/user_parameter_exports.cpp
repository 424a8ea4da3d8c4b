// The user parameter sets' edit dialogs, one export per set and copy.
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/structures/user_parameter_editing.h"
#include "kelcmd/kelcmd_dialogs.h"

#define KELCMD_USER_PARAMETER_DIALOG(copy, set, permanent)                                      \
    KELCMD_DIALOGS_API int32_t MP_EditAll##copy##Usr##set##ParamDlg(const char* portName,       \
                                                                    uint8_t slave) {            \
        return kelcmd::dialogs::RunDialogExport("MP_EditAll" #copy "Usr" #set "ParamDlg", [&] { \
            return kelcmd::dialogs::EditUserParameterSet(portName, slave, set, permanent);      \
        });                                                                                     \
    }

extern "C" {

KELCMD_USER_PARAMETER_DIALOG(Temp, 1, false)
KELCMD_USER_PARAMETER_DIALOG(Perm, 1, true)
KELCMD_USER_PARAMETER_DIALOG(Temp, 2, false)
KELCMD_USER_PARAMETER_DIALOG(Perm, 2, true)

}  // extern "C"
