// The command tree's exports: "Execute Command" over the whole catalogue, "Execute Client
// Command" over the loaded customer command sets (1 when left by "&Exit"), and "Batch Commanding"
// over the batch command store (1 on "&OK").
#include <QDialog>

#include "api/families.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/tree/execute_command_dialog.h"
#include "dialogs/tree/execute_customer_dialog.h"
#include "kelcmd/kelcmd_dialogs.h"

extern "C" {

KELCMD_DIALOGS_API int32_t MP_ExecuteStandardCommandsDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_ExecuteStandardCommandsDlg", [&] {
        const std::vector<kelcmd::CCommandFamily*> families = kelcmd::Families().InOrder();
        kelcmd::dialogs::ExecuteStandardCommandsDialog dialog(
            families, portName != nullptr ? portName : "", slave);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    });
}

KELCMD_DIALOGS_API int32_t MP_ExecuteCustomerCommandsDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_ExecuteCustomerCommandsDlg", [&] {
        kelcmd::dialogs::ExecuteCustomerCommandsDialog dialog(
            kelcmd::Families().CustomerSets(), portName != nullptr ? portName : "", slave);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    });
}

KELCMD_DIALOGS_API int32_t MP_ExecuteBatchCommandsDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_ExecuteBatchCommandsDlg", [&] {
        kelcmd::dialogs::BatchCommandingDialog dialog(kelcmd::Families().BatchStore(),
                                                      portName != nullptr ? portName : "", slave);
        return dialog.exec() == QDialog::Accepted ? 1 : 0;
    });
}

}  // extern "C"
