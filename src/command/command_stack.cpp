#include "command/command_stack.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <vector>

#include "command/thread_outcome.h"
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

class CommandStackLists {
  public:
    using Entries = std::vector<std::unique_ptr<CCommandStackEntry>>;

    static Entries::iterator FindIn(Entries& entries, const std::string& port, uint8_t slave) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const auto& entry) { return entry->Matches(port, slave); });
    }

    void DropThread(uint32_t thread) {
        Entries dropped;  // destroyed outside the guard
        std::lock_guard guard(lock);
        for (Entries* entries : {&active, &stopped}) {
            auto ended = std::stable_partition(entries->begin(), entries->end(), [&](auto& entry) {
                return entry->Thread() != thread;
            });
            std::move(ended, entries->end(), std::back_inserter(dropped));
            entries->erase(ended, entries->end());
        }
    }

    mutable std::mutex lock;
    Entries stopped;
    Entries active;
};

namespace {

// The stacks in which the calling thread has started collecting; when the thread ends, its
// entries there go.
class ThreadEntries {
  public:
    void Remember(const std::shared_ptr<CommandStackLists>& lists) {
        thread_ = CurrentThreadId();
        std::erase_if(stacks_, [](const auto& stack) { return stack.expired(); });
        for (const auto& stack : stacks_) {
            if (stack.lock() == lists) return;
        }
        stacks_.push_back(lists);
    }
    ~ThreadEntries() {
        for (const auto& stack : stacks_) {
            if (const auto lists = stack.lock()) lists->DropThread(thread_);
        }
    }

  private:
    uint32_t thread_ = 0;
    std::vector<std::weak_ptr<CommandStackLists>> stacks_;
};

thread_local ThreadEntries theThreadEntries;

}  // namespace

CCommandStack::CCommandStack() : lists_(std::make_shared<CommandStackLists>()) {}

CCommandStack::CCommandStack(CKelCommunication* ports)
    : lists_(std::make_shared<CommandStackLists>()), ports_(ports) {}

CCommandStack::~CCommandStack() = default;

void CCommandStack::Start(const std::string& port, uint8_t slave) {
    auto entry = std::make_unique<CCommandStackEntry>(ports_, port, slave);
    theThreadEntries.Remember(lists_);
    CommandStackLists& lists = *lists_;
    std::unique_ptr<CCommandStackEntry> replaced;  // destroyed outside the guard
    std::lock_guard guard(lists.lock);
    if (auto old = lists.FindIn(lists.stopped, port, slave); old != lists.stopped.end()) {
        replaced = std::move(*old);
        lists.stopped.erase(old);
    }
    lists.active.push_back(std::move(entry));
}

int CCommandStack::Stop(const std::string& port, uint8_t slave) {
    CommandStackLists& lists = *lists_;
    std::lock_guard guard(lists.lock);
    auto entry = lists.FindIn(lists.active, port, slave);
    if (entry == lists.active.end()) return 0;
    lists.stopped.push_back(std::move(*entry));
    lists.active.erase(entry);
    return 1;
}

int CCommandStack::ExecuteBatch(const std::string& port, uint8_t slave, uint32_t type) {
    CommandStackLists& lists = *lists_;
    CCommandStackEntry* chosen = nullptr;
    {
        std::lock_guard guard(lists.lock);
        if (auto entry = lists.FindIn(lists.active, port, slave); entry != lists.active.end()) {
            chosen = entry->get();
            lists.stopped.push_back(std::move(*entry));
            lists.active.erase(entry);
        } else if (auto stopped = lists.FindIn(lists.stopped, port, slave);
                   stopped != lists.stopped.end()) {
            chosen = stopped->get();
        }
    }
    // Only this thread may delete its own entry, so it outlives the exchange.
    if (chosen == nullptr || !chosen->Batch().SetBatchType(type)) return 0;
    return chosen->Batch().Execute();
}

bool CCommandStack::IsStacking(const std::string& port, uint8_t slave) const {
    CommandStackLists& lists = *lists_;
    std::lock_guard guard(lists.lock);
    return lists.FindIn(lists.active, port, slave) != lists.active.end();
}

int CCommandStack::Append(std::unique_ptr<CKelCommand> command) {
    if (!command) return 0;
    CommandStackLists& lists = *lists_;
    std::lock_guard guard(lists.lock);
    auto entry = lists.FindIn(lists.active, command->GetPortName(), command->GetDestination());
    if (entry == lists.active.end()) return 0;
    const int appended = (*entry)->Batch().AppendCommand(std::move(command));
    if (appended != 0) RecordStatusOutcome(OutcomeStatus::kStacked, 0);
    return appended;
}

std::vector<uint32_t> CCommandStack::MemberStatuses(const std::string& port, uint8_t slave) const {
    CommandStackLists& lists = *lists_;
    std::lock_guard guard(lists.lock);
    auto entry = lists.FindIn(lists.active, port, slave);
    if (entry == lists.active.end()) entry = lists.FindIn(lists.stopped, port, slave);
    if (entry == lists.stopped.end()) return {};
    std::vector<uint32_t> statuses;
    for (const auto& member : (*entry)->Batch().GetCommands()) {
        statuses.push_back(member->GetStatus());
    }
    return statuses;
}

size_t CCommandStack::ActiveCount() const {
    std::lock_guard guard(lists_->lock);
    return lists_->active.size();
}

size_t CCommandStack::StoppedCount() const {
    std::lock_guard guard(lists_->lock);
    return lists_->stopped.size();
}

}  // namespace kelcmd
