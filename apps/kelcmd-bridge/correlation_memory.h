#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_set>

namespace kelcmd::bridge {

// The requests a bus has taken, by response topic and correlation data, so that a message the
// broker delivers again (QoS 1) or somebody replays is not run twice. It keeps the latest
// `capacity` requests.
class CorrelationMemory {
  public:
    explicit CorrelationMemory(size_t capacity = 4096) : capacity_(capacity) {}

    // True the first time a request is seen; false for one seen before.
    bool Remember(const std::string& responseTopic, const std::string& correlationData);

  private:
    std::mutex mutex_;
    size_t capacity_;
    std::deque<std::string> order_;
    std::unordered_set<std::string> seen_;
};

}  // namespace kelcmd::bridge
