#pragma once

#include <memory>
#include <string>

#include "command/kel_batch_command.h"

namespace kelcmd::app {

// Reads a .kbc file; null after printing why it could not be read.
std::unique_ptr<CKelBatchCommand> LoadBatchFile(const std::string& path);

// "Batch", "QuietBatch_Send" or "QuietBatch_Read".
const char* BatchTypeName(uint32_t type);

// One member's header line: its number, name, class and command code, with `status` first when
// not null.
void PrintMemberLine(size_t index, const CKelCommand& member, const char* status);

}  // namespace kelcmd::app
