// The system parameter family's single parameter editor; the whole set's sheet is in
// parameter_sheet_exports.
#include "api/families.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/families/single_parameter.h"
#include "kelcmd/kelcmd_dialogs.h"

extern "C" {

KELCMD_DIALOGS_API int32_t MP_EditTempParamDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_EditTempParamDlg", [&] {
        return kelcmd::dialogs::EditTempParameter(kelcmd::Families().SystemParameter(), portName,
                                                  slave);
    });
}

}  // extern "C"
