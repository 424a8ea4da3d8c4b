#pragma once

#include "command/command_dialogs.h"
#include "transport/port_settings.h"

namespace kelcmd::dialogs {

// The command dialogs the core calls: the forms and windows of the per-command tables, "Enter
// Parameter" and "Show Return Parameter" for customer commands and for standard commands without
// an entry, and the three entry dialogs. Each returns 0 when no dialog can be shown on the calling
// thread.
class QtCommandDialogs final : public CommandDialogs {
  public:
    int EditParameters(CCommandFamily& family, CKelStandardCommand& command) override;
    int ShowResults(CCommandFamily& family, CKelStandardCommand& command) override;
    int EditCustomerParameters(CKelCustomerCommand& command) override;
    int ShowCustomerResults(CKelCustomerCommand& command) override;
    int EditDestination(CKelCommand& command) override;
    int EditPortName(CKelCommand& command) override;
    int EditPortAndDestination(CKelCommand& command) override;
};

// "Communication" for one port's settings: true and the confirmed settings in `settings` when the
// user confirms; false when cancelled or no dialog can be shown on the calling thread.
bool EditPortSettingsInDialog(CPortSettings& settings);
// "Communication Port Info & Test", the port table editor of the process's manager.
void ShowPortTableEditor();

}  // namespace kelcmd::dialogs
