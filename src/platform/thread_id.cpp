#include "platform/thread_id.h"

#include <atomic>

namespace kelcmd {

uint32_t CurrentThreadId() {
    static std::atomic<uint32_t> next{1};
    thread_local const uint32_t id = [] {
        uint32_t value = next.fetch_add(1);
        if (value == 0) value = next.fetch_add(1);  // after wrapping around, 0 stays reserved
        return value;
    }();
    return id;
}

}  // namespace kelcmd
