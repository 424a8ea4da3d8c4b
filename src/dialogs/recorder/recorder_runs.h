#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "api/recorded_data.h"

namespace kelcmd {
class CCommandFamily;
class CKelStandardCommand;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// The steps of a command dialog export where a command needs its own input dialog, execution or
// result: each step left empty is done as for every command (the family's input and result
// dialogs, execution behind a wait window when it may take long).
struct CommandDialogSteps {
    std::function<int(CKelStandardCommand&)> edit = nullptr;
    std::function<int(CKelStandardCommand&)> execute = nullptr;
    std::function<int(CCommandFamily&, CKelStandardCommand&)> show = nullptr;
};
int RunCommandDialogWith(CCommandFamily& family, const std::string& name, const char* port,
                         uint8_t slave, const CommandDialogSteps& steps);

// The piece a ReadRecordedData command read, as one curve in the time base of its PC-side
// "samplePeriod" (us).
CRecordedData PieceAsRecording(const CKelStandardCommand& command);

// The exports' bodies.
int DisplayRecordedData(const char* port, uint8_t slave);
int ReadRecordedDataDialog(const char* port, uint8_t slave);
int RecordingTestDialog(const std::string& command, const char* waitText, const char* port,
                        uint8_t slave);

}  // namespace kelcmd::dialogs
