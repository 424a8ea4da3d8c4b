// The port dialogs' exports: "Communication" for the current port, and the port table editor.
#include "api/communication.h"
#include "api/current_target.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/bootstrap/installed_dialogs.h"
#include "dialogs/ports/port_opening.h"
#include "kelcmd/kelcmd_dialogs.h"

using kelcmd::dialogs::RunDialogExport;

extern "C" {

KELCMD_DIALOGS_API int32_t KEB_InitKelBusDlg(void) {
    return RunDialogExport("KEB_InitKelBusDlg", [] {
        std::string chosen;
        if (kelcmd::dialogs::InitPortDialog(kelcmd::Communication(), kelcmd::CurrentPortName(),
                                            &chosen,
                                            kelcmd::dialogs::EditPortSettingsInDialog) == 0) {
            return 0;
        }
        kelcmd::SetCurrentPortName(chosen);
        return 1;
    });
}

KELCMD_DIALOGS_API int32_t KEB_MultiPortConfigurationDlg(void) {
    RunDialogExport("KEB_MultiPortConfigurationDlg", [] {
        kelcmd::dialogs::ShowPortTableEditor();
        return 0;
    });
    return 0;
}

}  // extern "C"
