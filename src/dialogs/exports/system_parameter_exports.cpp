// The system parameter family's dialog exports; the whole set's sheet is in
// parameter_sheet_exports.
#include "dialogs/exports/family_dialog_export.h"
#include "dialogs/families/read_edit_write.h"
#include "dialogs/families/single_parameter.h"

extern "C" {

KELCMD_FAMILY_DIALOG(SystemParameter, ReadPermanentParam)
KELCMD_FAMILY_DIALOG(SystemParameter, ReadVersion)

KELCMD_DIALOGS_API int32_t MP_EditTempParamDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_EditTempParamDlg", [&] {
        return kelcmd::dialogs::EditTempParameter(kelcmd::Families().SystemParameter(), portName,
                                                  slave);
    });
}

KELCMD_READ_EDIT_WRITE_DIALOG(SystemParameter, EditCurRegGains, "ReadCurrentGains",
                              "SetCurrentGains",
                              {{"gainP", "gainP"}, {"gainI", "gainI"}, {"gain3", "gain3"}},
                              "Error reading current regulation gains!",
                              "Error writing current regulation gains!")
KELCMD_READ_EDIT_WRITE_DIALOG(SystemParameter, EditPosRegGains, "ReadPositionGains",
                              "SetPositionGains",
                              {{"gainP", "gainP"}, {"gainI", "gainI"}, {"gainD", "gainD"}},
                              "Error reading position regulation gains!",
                              "Error writing position regulation gains!")

}  // extern "C"
