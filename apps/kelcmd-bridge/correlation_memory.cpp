#include "correlation_memory.h"

namespace kelcmd::bridge {

bool CorrelationMemory::Remember(const std::string& responseTopic,
                                 const std::string& correlationData) {
    // Two clients may well number their requests alike: the response topic tells them apart.
    std::string key = responseTopic;
    key += '\0';
    key += correlationData;
    std::lock_guard lock(mutex_);
    if (!seen_.insert(key).second) return false;
    order_.push_back(std::move(key));
    if (order_.size() > capacity_) {
        seen_.erase(order_.front());
        order_.pop_front();
    }
    return true;
}

}  // namespace kelcmd::bridge
