// The property sheet of the whole system parameter set, temporary and permanent.
#include "api/families.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/sheet/parameter_sheet_run.h"
#include "kelcmd/kelcmd_dialogs.h"

extern "C" {

KELCMD_DIALOGS_API int32_t MP_EditAllTempParamDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_EditAllTempParamDlg", [&] {
        return kelcmd::dialogs::EditAllParameters(kelcmd::Families().SystemParameter(), true,
                                                  portName, slave);
    });
}

KELCMD_DIALOGS_API int32_t MP_EditAllPermParamDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_EditAllPermParamDlg", [&] {
        return kelcmd::dialogs::EditAllParameters(kelcmd::Families().SystemParameter(), false,
                                                  portName, slave);
    });
}

}  // extern "C"
