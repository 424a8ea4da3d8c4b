#include "command/command_stack.h"

#include <algorithm>

#include "platform/thread_id.h"
#include "transport/kel_communication.h"

namespace kelcmd {

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

CCommandStackEntry::CCommandStackEntry(CKelCommunication* ports, const std::string& port,
                                       uint8_t slave)
    : thread_(CurrentThreadId()) {
    batch_.Reset();
    batch_.SetPortList(ports);
    batch_.SetPortName(port);
    batch_.SetDestination(slave);
}

bool CCommandStackEntry::Matches(const std::string& port, uint8_t slave) const {
    return thread_ == CurrentThreadId() && batch_.GetDestination() == slave &&
           EqualIgnoringCase(batch_.GetPortName(), port);
}

CCommandStack::~CCommandStack() = default;

CCommandStack::Entries::iterator CCommandStack::FindIn(Entries& entries, const std::string& port,
                                                       uint8_t slave) {
    return std::find_if(entries.begin(), entries.end(),
                        [&](const auto& entry) { return entry->Matches(port, slave); });
}

void CCommandStack::Start(const std::string& port, uint8_t slave) {
    auto entry = std::make_unique<CCommandStackEntry>(ports_, port, slave);
    std::lock_guard guard(lock_);
    if (auto old = FindIn(stopped_, port, slave); old != stopped_.end()) stopped_.erase(old);
    active_.push_back(std::move(entry));
}

int CCommandStack::Stop(const std::string& port, uint8_t slave) {
    std::lock_guard guard(lock_);
    auto entry = FindIn(active_, port, slave);
    if (entry == active_.end()) return 0;
    stopped_.push_back(std::move(*entry));
    active_.erase(entry);
    return 1;
}

int CCommandStack::ExecuteBatch(const std::string& port, uint8_t slave, uint32_t type) {
    CCommandStackEntry* chosen = nullptr;
    {
        std::lock_guard guard(lock_);
        if (auto entry = FindIn(active_, port, slave); entry != active_.end()) {
            chosen = entry->get();
            stopped_.push_back(std::move(*entry));
            active_.erase(entry);
        } else if (auto stopped = FindIn(stopped_, port, slave); stopped != stopped_.end()) {
            chosen = stopped->get();
        }
    }
    // Only this thread may delete its own entry, so it outlives the exchange.
    if (chosen == nullptr || !chosen->Batch().SetBatchType(type)) return 0;
    return chosen->Batch().Execute();
}

bool CCommandStack::IsStacking(const std::string& port, uint8_t slave) const {
    std::lock_guard guard(lock_);
    auto& active = const_cast<Entries&>(active_);
    return FindIn(active, port, slave) != active.end();
}

int CCommandStack::Append(std::unique_ptr<CKelCommand> command) {
    if (!command) return 0;
    std::lock_guard guard(lock_);
    auto entry = FindIn(active_, command->GetPortName(), command->GetDestination());
    if (entry == active_.end()) return 0;
    return (*entry)->Batch().AppendCommand(std::move(command));
}

size_t CCommandStack::ActiveCount() const {
    std::lock_guard guard(lock_);
    return active_.size();
}

size_t CCommandStack::StoppedCount() const {
    std::lock_guard guard(lock_);
    return stopped_.size();
}

}  // namespace kelcmd
