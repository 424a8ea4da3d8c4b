#include "api/current_target.h"

#include <atomic>
#include <mutex>

namespace kelcmd {
namespace {

std::mutex nameLock;
std::string& PortName() {
    static std::string name = "Com1";
    return name;
}
std::atomic<uint8_t> slave{1};

}  // namespace

std::string CurrentPortName() {
    std::lock_guard<std::mutex> guard(nameLock);
    return PortName();
}

void SetCurrentPortName(const std::string& name) {
    std::lock_guard<std::mutex> guard(nameLock);
    PortName() = name;
}

uint8_t CurrentSlave() {
    return slave.load();
}

void SetCurrentSlave(uint8_t address) {
    slave.store(address);
}

}  // namespace kelcmd
