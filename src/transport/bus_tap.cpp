#include "transport/bus_tap.h"

#include <strings.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <utility>

namespace kelcmd {

// A subscriber's queue, shared by the tap (which fills it) and the subscription (which empties it).
struct TapQueue {
    TapQueue(std::string portName, size_t limit)
        : port(std::move(portName)), capacity(std::max<size_t>(limit, 1)) {}

    bool Wants(const BusEvent& event) const {
        return port.empty() || strcasecmp(port.c_str(), event.port.c_str()) == 0;
    }

    // Calls the in-caller handler, unless the subscription has ended; one thread at a time, and
    // again within a call when the handler's own command publishes.
    void CallInline(const BusEvent& event) {
        std::lock_guard<std::recursive_mutex> calling(inlineCall);
        if (inlineHandler) inlineHandler(event);
    }

    void Push(const BusEvent& event) {
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (events.size() >= capacity) {
                ++dropped;
                return;
            }
            events.push_back(event);
        }
        ready.notify_one();
    }

    const std::string port;
    const size_t capacity;
    mutable std::mutex mutex;
    std::condition_variable ready;
    std::deque<BusEvent> events;
    uint64_t dropped = 0;
    bool closed = false;
    // Set for in-caller delivery; cleared (under inlineCall) when the subscription ends.
    std::recursive_mutex inlineCall;
    TapSubscription::Handler inlineHandler;
};

void CBusTap::Publish(std::vector<BusEvent> events) {
    if (events.empty()) return;
    std::vector<std::shared_ptr<TapQueue>> inCaller;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        for (const std::shared_ptr<TapQueue>& queue : queues_) {
            if (queue->inlineHandler) {
                inCaller.push_back(queue);
                continue;
            }
            for (const BusEvent& event : events) {
                if (queue->Wants(event)) queue->Push(event);
            }
        }
    }
    // Outside the tap's lock, so that other ports publish meanwhile.
    for (const std::shared_ptr<TapQueue>& queue : inCaller) {
        for (const BusEvent& event : events) {
            if (queue->Wants(event)) queue->CallInline(event);
        }
    }
}

void CBusTap::Add(std::shared_ptr<TapQueue> queue) {
    std::lock_guard<std::mutex> guard(mutex_);
    queues_.push_back(std::move(queue));
    subscribers_ = queues_.size();
}

void CBusTap::Remove(const TapQueue* queue) {
    std::lock_guard<std::mutex> guard(mutex_);
    std::erase_if(queues_, [queue](const auto& each) { return each.get() == queue; });
    subscribers_ = queues_.size();
}

CBusTap& BusTap() {
    static CBusTap tap;
    return tap;
}

// Made when the library loads, so that it outlives every subscription that a static object of a
// host or of a later part of the library holds.
[[maybe_unused]] static CBusTap& constructedAtLoad = BusTap();

TapSubscription::TapSubscription(std::string port, size_t capacity)
    : queue_(std::make_shared<TapQueue>(std::move(port), capacity)) {
    BusTap().Add(queue_);
}

TapSubscription::TapSubscription(std::string port, size_t capacity, Handler handler,
                                 Delivery delivery)
    : queue_(std::make_shared<TapQueue>(std::move(port), capacity)) {
    if (delivery == Delivery::kInCaller) {
        queue_->inlineHandler = std::move(handler);
    } else {
        worker_ = std::thread([this, handler = std::move(handler)] { Deliver(handler); });
    }
    BusTap().Add(queue_);
}

TapSubscription::~TapSubscription() {
    BusTap().Remove(queue_.get());
    {
        std::lock_guard<std::recursive_mutex> calling(queue_->inlineCall);
        queue_->inlineHandler = nullptr;
    }
    {
        std::lock_guard<std::mutex> guard(queue_->mutex);
        queue_->closed = true;
    }
    queue_->ready.notify_all();
    if (worker_.joinable()) worker_.join();
}

void TapSubscription::Deliver(const Handler& handler) {
    std::unique_lock<std::mutex> lock(queue_->mutex);
    for (;;) {
        queue_->ready.wait(lock, [this] { return queue_->closed || !queue_->events.empty(); });
        if (queue_->events.empty()) return;  // closed, and everything delivered
        const BusEvent event = std::move(queue_->events.front());
        queue_->events.pop_front();
        lock.unlock();
        handler(event);
        lock.lock();
    }
}

std::optional<BusEvent> TapSubscription::Next(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(queue_->mutex);
    if (!queue_->ready.wait_for(lock, wait, [this] { return !queue_->events.empty(); })) {
        return std::nullopt;
    }
    BusEvent event = std::move(queue_->events.front());
    queue_->events.pop_front();
    return event;
}

std::vector<BusEvent> TapSubscription::TakeAll() {
    std::lock_guard<std::mutex> guard(queue_->mutex);
    std::vector<BusEvent> taken(std::make_move_iterator(queue_->events.begin()),
                                std::make_move_iterator(queue_->events.end()));
    queue_->events.clear();
    return taken;
}

uint64_t TapSubscription::Dropped() const {
    std::lock_guard<std::mutex> guard(queue_->mutex);
    return queue_->dropped;
}

}  // namespace kelcmd
