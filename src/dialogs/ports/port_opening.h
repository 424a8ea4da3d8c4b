#pragma once

#include <functional>
#include <string>

#include "transport/kel_communication.h"

namespace kelcmd::dialogs {

// Shows the "Communication" dialog filled with `settings`; true and the confirmed settings in
// `settings` when the user confirms.
using EditPortSettings = std::function<bool(CPortSettings&)>;

// Opening a port the way the dialogs do: a message box when the port does not open, 1 or 0. No
// lock is held while a dialog or a message is shown.
int OpenPortWithMessage(CKelCommunication& manager, const CPortSettings& settings,
                        const std::string& failureText);
// With the settings of the known port of that name, or the defaults under that name.
int OpenPortNamed(CKelCommunication& manager, const std::string& name);
int OpenPortWithSettings(CKelCommunication& manager, const CPortSettings& settings);
// The dialog filled with `settings`; on "&OK" the port opens with the dialog's settings.
int OpenPortDialog(CKelCommunication& manager, const CPortSettings& settings,
                   const EditPortSettings& edit);
// The dialog behind KEB_InitKelBusDlg, preset with the settings of the port `name` (or the
// defaults with that name). On "&OK" the port opens with the dialog's settings and, when it does,
// its name goes to `chosenName` (when given).
int InitPortDialog(CKelCommunication& manager, const std::string& name, std::string* chosenName,
                   const EditPortSettings& edit);

}  // namespace kelcmd::dialogs
