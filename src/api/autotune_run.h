#pragma once

#include "api/recorded_data.h"
#include "command/kel_standard_command.h"

namespace kelcmd {

// What the dialogs of Autotune, SquareCurrentTest and SetPWM execute: the command through its
// family, then the unit's recording read through the family's recording family, up to the first
// 1024 samples of vectors 0 to 3 (pieces of 511). The four arrays (two bytes per sample, host
// order) and the sample period in microseconds go into the command's PC-side return parameters,
// which are then marked valid. 1, or 0 when the command or a read failed (the kept recording is
// then unchanged).
int RunWithRecording(CKelStandardCommand& command);

// The reading half of RunWithRecording, for a command that was executed elsewhere (the command
// tree executes it through its family): the unit's recording into the kept parameters. 1, or 0
// when a read failed (the kept recording is then unchanged).
int ReadKeptRecording(CKelStandardCommand& command);

// The kept recording of such a command as curves of vectors 0 to 3, for the graph: signals 10 to
// 13 for Autotune, 7, 6, 4, 5 for the current tests, in the time base of the kept period. Empty
// when the command has kept nothing.
CRecordedData KeptRecording(const CKelStandardCommand& command);

}  // namespace kelcmd
