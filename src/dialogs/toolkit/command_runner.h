#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelcmd {
class CCommandFamily;
class CKelStandardCommand;
class CParameterList;
}  // namespace kelcmd

namespace kelcmd::dialogs {

inline constexpr const char* kCommandFailed = "Command failed!";
inline constexpr const char* kFailedShowingResults = "Failed showing return parameters!";

// The steps of a command's dialog export, on the family's prototype `name`, so that the dialog
// opens with the values last used: bind port and slave (asking for what is missing), the input
// dialog (Cancel: 0, nothing sent), execution ("Command failed!": 0), the returned parameters into
// `results` when given, the result dialog ("Failed showing return parameters!": 0); 1 otherwise.
// The prototype is changed only under the family's prototype lock, a moment at a time, so that
// exports on other threads copy it whole.
int RunCommandDialog(CCommandFamily& family, const std::string& name, const char* port,
                     uint8_t slave, CParameterList* results = nullptr);

// A copy of the prototype `name` (null when the family has none), and writing one back.
std::unique_ptr<CKelStandardCommand> CopyPrototype(CCommandFamily& family, const std::string& name);
void StorePrototype(CCommandFamily& family, const CKelStandardCommand& command);

// Port and slave for a dialog: both given are set whatever the command says to them; a missing
// slave (0) is asked with "Enter Destination", a missing port with "Enter PortName", both with
// "Enter PortName & Destination". 1, or 0 when the user refused.
int BindTarget(CKelStandardCommand& command, const char* port, uint8_t slave);

// Executes through the family. A command that may wait long (an answer timeout of 0, meaning
// without limit, or above a second) runs on a worker thread behind a modal wait window, unless the
// calling thread collects commands into a batch for its port and slave.
int ExecuteCommand(CCommandFamily& family, CKelStandardCommand& command);
bool TakesLong(const CKelStandardCommand& command);

}  // namespace kelcmd::dialogs
