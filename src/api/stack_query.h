#pragma once

#include <cstdint>

namespace kelcmd {

// Whether the calling thread collects commands for (port, slave) into a batch: a command export
// called now is stacked, and its out-arguments are written only when the batch is executed.
// For hosts that must not hand such an export memory that ends with the call.
bool IsStackingCommands(const char* port, uint8_t slave) noexcept;

// The status of each member of the calling thread's batch for (port, slave) (0 idle: not
// executed, 2 succeeded, 3 failed), written to `statuses` up to `capacity`; the number of
// members, 0 when there is no batch.
uint32_t StackedCommandStatuses(const char* port, uint8_t slave, uint32_t* statuses,
                                uint32_t capacity) noexcept;

}  // namespace kelcmd
