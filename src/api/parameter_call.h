#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "command/command_family.h"
#include "command/kel_standard_command.h"

namespace kelcmd {

// Executes a prepared read through its family and hands the return values to the caller's
// variables (`outputs` in return parameter order, each receiving exactly its parameter's size;
// null: none) only when the unit's answer carried every one of them completely. An answer cut
// short would otherwise leave stale bytes of the answer buffer in the caller's variables and
// still count as success: such a call fails and writes nothing. A call that the calling thread
// collects into a batch is bound as usual, so that the batch's answer writes the variables.
int32_t ExecuteCompleteRead(CCommandFamily& family, CKelStandardCommand& call,
                            std::span<void* const> outputs);
inline int32_t ExecuteCompleteRead(CCommandFamily& family, CKelStandardCommand& call,
                                   std::initializer_list<void*> outputs) {
    return ExecuteCompleteRead(family, call, std::span(outputs.begin(), outputs.size()));
}

}  // namespace kelcmd
