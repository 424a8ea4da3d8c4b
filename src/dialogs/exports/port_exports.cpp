// The port dialogs' exports: "Communication" for the current port, and the port table editor.
#include "api/communication.h"
#include "api/current_target.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "kelcmd/kelcmd_dialogs.h"
#include "transport/kel_communication.h"

using kelcmd::dialogs::RunDialogExport;

extern "C" {

KELCMD_DIALOGS_API int32_t KEB_InitKelBusDlg(void) {
    return RunDialogExport("KEB_InitKelBusDlg", [] {
        std::string chosen;
        if (kelcmd::Communication().InitPortDialog(kelcmd::CurrentPortName(), &chosen) == 0) {
            return 0;
        }
        kelcmd::SetCurrentPortName(chosen);
        return 1;
    });
}

KELCMD_DIALOGS_API int32_t KEB_MultiPortConfigurationDlg(void) {
    RunDialogExport("KEB_MultiPortConfigurationDlg",
                    [] { return kelcmd::Communication().MultiPortConfigurationDialog(nullptr); });
    return 0;
}

}  // extern "C"
