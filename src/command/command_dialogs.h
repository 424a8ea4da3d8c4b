#pragma once

#include <memory>

namespace kelcmd {

class CCommandFamily;
class CKelCommand;
class CKelCustomerCommand;
class CKelStandardCommand;

// The windows in which a user edits a command before it runs and reads its results afterwards.
// The core has no toolkit: the dialogs library installs its implementation once when it loads;
// without one every dialog counts as cancelled (0) and nothing is shown. Each operation returns 1
// when the user confirmed and the command was changed or shown, 0 when cancelled or not possible.
class CommandDialogs {
  public:
    virtual ~CommandDialogs() = default;

    // The input and the result dialog of a catalogue command of `family`.
    virtual int EditParameters(CCommandFamily& family, CKelStandardCommand& command) = 0;
    virtual int ShowResults(CCommandFamily& family, CKelStandardCommand& command) = 0;
    // The input and the result dialog of a customer command (its parameters are its own).
    virtual int EditCustomerParameters(CKelCustomerCommand& command) = 0;
    virtual int ShowCustomerResults(CKelCustomerCommand& command) = 0;
    // "Enter Destination", "Enter PortName", "Enter PortName & Destination".
    virtual int EditDestination(CKelCommand& command) = 0;
    virtual int EditPortName(CKelCommand& command) = 0;
    virtual int EditPortAndDestination(CKelCommand& command) = 0;
};

// The installed dialogs, or null; they stay installed while the handle lives. Installing replaces
// the previous ones and returns them once no dialog of theirs is running; null uninstalls. Safe
// from any thread (see platform/hook.h).
std::shared_ptr<CommandDialogs> InstalledCommandDialogs();
std::shared_ptr<CommandDialogs> InstallCommandDialogs(std::shared_ptr<CommandDialogs> dialogs);

}  // namespace kelcmd
