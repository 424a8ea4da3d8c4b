#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "transport/bus_event.h"

namespace kelcmd {

struct TapQueue;

// The bus tap: every port publishes here the wire events of its exchanges and packet operations,
// and the judged result of each, once its lock is released. Any number of subscribers listen, to
// one port or to every port.
//
// Delivery: Publish copies each event into the bounded queue of every subscriber that wants it,
// under a short lock per queue, and returns; it never waits for a subscriber. A full queue drops
// the new event and counts it. A subscriber either pulls its events (Next, TakeAll) or gives a
// handler, which the subscription's own worker thread calls with each event in order. Events of
// one exchange are published together, so they follow one another in every queue.
//
// A tool that prints the bus between its own output (one thread, one port) may instead have its
// handler called in the thread that made the exchange, after the port's lock is released and
// before the command returns: that holds up the calling thread, never the line or other threads.
class CBusTap {
  public:
    // Whether anybody listens; ports do not collect events otherwise.
    bool HasSubscribers() const { return subscribers_.load(std::memory_order_relaxed) > 0; }
    void Publish(std::vector<BusEvent> events);

  private:
    friend class TapSubscription;
    void Add(std::shared_ptr<TapQueue> queue);
    void Remove(const TapQueue* queue);

    std::mutex mutex_;
    std::vector<std::shared_ptr<TapQueue>> queues_;
    std::atomic<size_t> subscribers_{0};
};

// The process's one tap.
CBusTap& BusTap();

// One subscriber of the tap, for as long as the object lives. `port` chooses the port (without
// regard to letter case); empty means every port.
class TapSubscription {
  public:
    using Handler = std::function<void(const BusEvent&)>;
    static constexpr size_t kDefaultCapacity = 4096;
    enum class Delivery { kWorker, kInCaller };

    // Pulled: the events wait in the queue until Next or TakeAll fetches them.
    explicit TapSubscription(std::string port = {}, size_t capacity = kDefaultCapacity);
    // Pushed: a worker thread (or, kInCaller, the thread that made the exchange) calls `handler`
    // with each event. The handler may run commands on any port, itself included; it must not
    // destroy its own subscription.
    TapSubscription(std::string port, size_t capacity, Handler handler,
                    Delivery delivery = Delivery::kWorker);
    // Stops listening; a worker's handler is first given what is still queued. Waits for a call
    // in progress: the handler is never called again once the destructor returns.
    ~TapSubscription();
    TapSubscription(const TapSubscription&) = delete;
    TapSubscription& operator=(const TapSubscription&) = delete;

    // The next event, waiting at most `wait` for one (pulled subscriptions only).
    std::optional<BusEvent> Next(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    std::vector<BusEvent> TakeAll();
    // Events this subscriber lost because its queue was full.
    uint64_t Dropped() const;

  private:
    void Deliver(const Handler& handler);

    std::shared_ptr<TapQueue> queue_;
    std::thread worker_;
};

}  // namespace kelcmd
