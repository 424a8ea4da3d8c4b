#include "api/stack_query.h"

#include <string>
#include <vector>

#include "api/communication.h"
#include "command/command_stack.h"

namespace kelcmd {

bool IsStackingCommands(const char* port, uint8_t slave) noexcept {
    if (port == nullptr) return false;
    try {
        return ProcessCommandStack().IsStacking(port, slave);
    } catch (...) {
        // Unknown means "maybe": the host then refuses rather than risks its memory.
        return true;
    }
}

uint32_t StackedCommandStatuses(const char* port, uint8_t slave, uint32_t* statuses,
                                uint32_t capacity) noexcept {
    if (port == nullptr) return 0;
    try {
        const std::vector<uint32_t> found = ProcessCommandStack().MemberStatuses(port, slave);
        for (size_t i = 0; i < found.size() && i < capacity && statuses != nullptr; ++i) {
            statuses[i] = found[i];
        }
        return static_cast<uint32_t>(found.size());
    } catch (...) {
        return 0;
    }
}

}  // namespace kelcmd
