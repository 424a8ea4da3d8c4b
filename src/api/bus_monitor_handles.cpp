#include "api/bus_monitor_handles.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "transport/bus_tap.h"
#include "transport/port_resolver.h"

namespace kelcmd {
namespace {

// The open monitors by handle. A reader holds its own reference while it waits, so that a close
// on another thread neither waits for it nor frees the subscription under it.
class MonitorTable {
  public:
    uint32_t Open(const char* port, uint32_t capacity) {
        auto subscription = std::make_shared<TapSubscription>(
            port != nullptr ? std::string(port) : std::string(),
            capacity != 0 ? capacity : TapSubscription::kDefaultCapacity);
        std::lock_guard<std::mutex> guard(mutex_);
        const uint32_t handle = ++lastHandle_;
        monitors_[handle] = std::move(subscription);
        return handle;
    }

    std::shared_ptr<TapSubscription> Find(uint32_t handle) {
        std::lock_guard<std::mutex> guard(mutex_);
        const auto found = monitors_.find(handle);
        return found != monitors_.end() ? found->second : nullptr;
    }

    bool Close(uint32_t handle) {
        std::shared_ptr<TapSubscription> closing;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            const auto found = monitors_.find(handle);
            if (found == monitors_.end()) return false;
            closing = std::move(found->second);
            monitors_.erase(found);
        }
        return true;  // `closing` ends here, outside the table's lock
    }

  private:
    std::mutex mutex_;
    uint32_t lastHandle_ = 0;
    std::map<uint32_t, std::shared_ptr<TapSubscription>> monitors_;
};

MonitorTable& Monitors() {
    static MonitorTable table;
    return table;
}

void Fill(const BusEvent& event, BusEventRecord& record) {
    record = BusEventRecord{};
    record.kind = static_cast<uint8_t>(event.kind);
    record.direction = static_cast<uint8_t>(event.direction);
    record.result = event.result;
    record.refused = event.refused ? 1 : 0;
    record.unitError = event.unitError;
    record.failedMember = event.failedMember;
    record.warning = event.warning;
    record.trials = event.trials;
    record.timeNs = event.timeNs;
    record.elapsedNs = event.elapsedNs;
    record.exchange = event.exchange;
    static_assert(sizeof record.port > kMaxDevicePathLength, "a port named by its path fits");
    const size_t portLength = std::min(event.port.size(), sizeof record.port - 1);
    std::memcpy(record.port, event.port.data(), portLength);
    record.length = static_cast<uint32_t>(std::min(event.bytes.size(), sizeof record.bytes));
    std::copy_n(event.bytes.begin(), record.length, record.bytes);
}

}  // namespace

uint32_t OpenBusMonitor(const char* port, uint32_t capacity) {
    try {
        return Monitors().Open(port, capacity);
    } catch (...) {
        return 0;
    }
}

int32_t ReadBusMonitor(uint32_t handle, uint32_t waitMs, BusEventRecord* record) {
    if (record == nullptr) return 0;
    try {
        const std::shared_ptr<TapSubscription> monitor = Monitors().Find(handle);
        if (!monitor) return 0;
        const std::optional<BusEvent> event = monitor->Next(std::chrono::milliseconds(waitMs));
        if (!event) return 0;
        Fill(*event, *record);
        return 1;
    } catch (...) {
        return 0;
    }
}

uint64_t BusMonitorDropped(uint32_t handle) {
    const std::shared_ptr<TapSubscription> monitor = Monitors().Find(handle);
    return monitor ? monitor->Dropped() : 0;
}

int32_t CloseBusMonitor(uint32_t handle) {
    return Monitors().Close(handle) ? 1 : 0;
}

}  // namespace kelcmd
