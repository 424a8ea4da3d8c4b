#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kelcmd {

class CKelCommand;

// An observer of the commands a port executes and the answers its line receives. It hears only of
// exchanges made by threads in its active list.
class CBusMonitor {
  public:
    virtual ~CBusMonitor() = default;

    // Called in the executing thread with the command after its exchange (or reception).
    virtual void ReceiveCommand(const CKelCommand& command) = 0;

    void Activate(uint32_t threadId);
    bool IsActive(uint32_t threadId) const;
    // Moves the thread (or, with allThreads, every thread) from the active to the suspended list.
    void Suspend(uint32_t threadId, bool allThreads);
    // Moves the other way.
    void Resume(uint32_t threadId, bool allThreads);

    std::vector<uint32_t> ActiveThreads() const;
    std::vector<uint32_t> SuspendedThreads() const;

  private:
    mutable std::mutex mutex_;
    std::vector<uint32_t> active_;
    std::vector<uint32_t> suspended_;
};

// A port's or a line's list of observers (not owned). Only the first registered observer counts;
// see Register. The list is locked by itself, so that notifying from one thread and registering
// from another is safe; observers are called outside the lock.
class CObserverList {
  public:
    CObserverList() = default;
    CObserverList(const CObserverList& other);
    CObserverList& operator=(const CObserverList& other);

    // No observer yet: the calling thread is made active in `observer`, which is added. The same
    // observer again: only the calling thread is made active. A different observer is ignored.
    void Register(CBusMonitor* observer);
    void Suspend(bool allThreads, bool everyObserver, CBusMonitor* observer);
    void Resume(bool allThreads, bool everyObserver, CBusMonitor* observer);
    void Remove(CBusMonitor* observer);
    // Hands the command to every observer in whose active list the calling thread stands.
    void Notify(const CKelCommand& command) const;
    bool Empty() const;
    size_t Size() const;
    std::vector<CBusMonitor*> Observers() const;

  private:
    mutable std::mutex mutex_;
    std::vector<CBusMonitor*> observers_;
};

}  // namespace kelcmd
