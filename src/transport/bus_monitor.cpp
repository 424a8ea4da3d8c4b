#include "transport/bus_monitor.h"

#include <algorithm>

#include "platform/thread_id.h"

namespace kelcmd {
namespace {

bool Contains(const std::vector<uint32_t>& list, uint32_t threadId) {
    return std::find(list.begin(), list.end(), threadId) != list.end();
}

void Erase(std::vector<uint32_t>& list, uint32_t threadId) {
    list.erase(std::remove(list.begin(), list.end(), threadId), list.end());
}

// Moves `threadId` (or every thread) from `from` to `to`.
void Move(std::vector<uint32_t>& from, std::vector<uint32_t>& to, uint32_t threadId,
          bool allThreads) {
    if (allThreads) {
        for (uint32_t id : from) {
            if (!Contains(to, id)) to.push_back(id);
        }
        from.clear();
        return;
    }
    if (!Contains(from, threadId)) return;
    Erase(from, threadId);
    if (!Contains(to, threadId)) to.push_back(threadId);
}

}  // namespace

// ---- CBusMonitor ----

void CBusMonitor::Activate(uint32_t threadId) {
    std::lock_guard<std::mutex> lock(mutex_);
    Erase(suspended_, threadId);
    if (!Contains(active_, threadId)) active_.push_back(threadId);
}

bool CBusMonitor::IsActive(uint32_t threadId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return Contains(active_, threadId);
}

void CBusMonitor::Suspend(uint32_t threadId, bool allThreads) {
    std::lock_guard<std::mutex> lock(mutex_);
    Move(active_, suspended_, threadId, allThreads);
}

void CBusMonitor::Resume(uint32_t threadId, bool allThreads) {
    std::lock_guard<std::mutex> lock(mutex_);
    Move(suspended_, active_, threadId, allThreads);
}

std::vector<uint32_t> CBusMonitor::ActiveThreads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return active_;
}

std::vector<uint32_t> CBusMonitor::SuspendedThreads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return suspended_;
}

// ---- CObserverList ----

CObserverList::CObserverList(const CObserverList& other) : observers_(other.Observers()) {}

CObserverList& CObserverList::operator=(const CObserverList& other) {
    if (this != &other) {
        std::vector<CBusMonitor*> copy = other.Observers();
        std::lock_guard<std::mutex> lock(mutex_);
        observers_ = std::move(copy);
    }
    return *this;
}

void CObserverList::Register(CBusMonitor* observer) {
    if (!observer) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (observers_.empty()) {
        observer->Activate(CurrentThreadId());
        observers_.push_back(observer);
    } else if (observers_.front() == observer) {
        observer->Activate(CurrentThreadId());
    }
    // A different observer is ignored while one is registered.
}

void CObserverList::Suspend(bool allThreads, bool everyObserver, CBusMonitor* observer) {
    const uint32_t threadId = CurrentThreadId();
    for (CBusMonitor* each : Observers()) {
        if (everyObserver || each == observer) each->Suspend(threadId, allThreads);
    }
}

void CObserverList::Resume(bool allThreads, bool everyObserver, CBusMonitor* observer) {
    const uint32_t threadId = CurrentThreadId();
    for (CBusMonitor* each : Observers()) {
        if (everyObserver || each == observer) each->Resume(threadId, allThreads);
    }
}

void CObserverList::Remove(CBusMonitor* observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CObserverList::Notify(const CKelCommand& command) const {
    const uint32_t threadId = CurrentThreadId();
    for (CBusMonitor* each : Observers()) {
        if (each->IsActive(threadId)) each->ReceiveCommand(command);
    }
}

bool CObserverList::Empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return observers_.empty();
}

size_t CObserverList::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return observers_.size();
}

std::vector<CBusMonitor*> CObserverList::Observers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return observers_;
}

}  // namespace kelcmd
