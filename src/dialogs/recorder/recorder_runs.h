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

inline constexpr const char* kReadingRecordedData = "Reading recorded data ...";

// The piece a ReadRecordedData command read, as one curve in the time base of its PC-side
// "samplePeriod" (us).
CRecordedData PieceAsRecording(const CKelStandardCommand& command);

// The result windows of the recording commands, shared by their exports and the command tree:
// the piece a ReadRecordedData command read in the graph (0 when it read nothing), and the
// recording kept with Autotune, SquareCurrentTest or SetPWM (read from the unit first when the
// command ran without reading it, as from the command tree; 0 when that read fails).
int ShowRecordedPiece(const CKelStandardCommand& command);
int ShowKeptRecording(CKelStandardCommand& command);

// The exports' bodies.
int DisplayRecordedData(const char* port, uint8_t slave);
int ReadRecordedDataDialog(const char* port, uint8_t slave);
int RecordingTestDialog(const std::string& command, const char* waitText, const char* port,
                        uint8_t slave);

}  // namespace kelcmd::dialogs
