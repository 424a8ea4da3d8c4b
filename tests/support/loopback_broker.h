#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "transport/message_pipe.h"

namespace kelcmd::testing {

// A broker inside the test process: pipes opened through it get the messages of the topics they
// subscribed to, in order, on one delivery thread, as a client library's network thread would
// hand them out. It can go away and come back, and hold back messages of a topic.
class LoopbackBroker {
  public:
    LoopbackBroker() : delivery_([this] { Deliver(); }) {}
    ~LoopbackBroker() {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        changed_.notify_all();
        delivery_.join();
    }

    PipeOpener Opener() {
        return [this](const PipeConfig& config, PipeListener listener,
                      SystemError& reason) -> std::unique_ptr<MessagePipe> {
            std::lock_guard guard(lock_);
            if (!up_) {
                reason = {ECONNREFUSED, "connect to", config.broker};
                return nullptr;
            }
            auto client = std::make_shared<Client>();
            client->subscriptions = config.subscriptions;
            client->listener = std::move(listener);
            clients_.push_back(client);
            for (const Retained& message : retained_) Queue(message.message);
            return std::make_unique<Pipe>(*this, client);
        };
    }

    // Publishes as a third party would (a bridge's status, retained).
    void PublishRetained(const std::string& topic, const std::string& payload) {
        std::lock_guard guard(lock_);
        PipeMessage message{topic, {payload.begin(), payload.end()}, "", ""};
        std::erase_if(retained_, [&](const Retained& old) { return old.message.topic == topic; });
        retained_.push_back({message});
        Queue(message);
    }

    // Subscribes a handler that plays another client (a bridge); it runs on the delivery thread.
    void Serve(const std::string& topic, std::function<void(const PipeMessage&)> handler) {
        std::lock_guard guard(lock_);
        auto client = std::make_shared<Client>();
        client->subscriptions = {topic};
        client->listener.message = [handler](PipeMessage message) { handler(message); };
        clients_.push_back(client);
    }

    void Publish(PipeMessage message) {
        std::lock_guard guard(lock_);
        if (up_) Queue(std::move(message));
    }

    // The broker goes away (every client hears of it) or comes back.
    void SetUp(bool up) {
        std::vector<std::shared_ptr<Client>> clients;
        {
            std::lock_guard guard(lock_);
            up_ = up;
            clients = clients_;
        }
        for (auto& client : clients) {
            if (client->listener.connection) client->listener.connection(up);
        }
    }

    // The next `count` messages whose topic starts with `topicStart` wait `delay` before they
    // are delivered; others overtake them.
    void Delay(const std::string& topicStart, std::chrono::milliseconds delay, int count = 1) {
        std::lock_guard guard(lock_);
        delayedTopic_ = topicStart;
        delay_ = delay;
        delayedCount_ = count;
    }

  private:
    struct Client {
        std::vector<std::string> subscriptions;
        PipeListener listener;
        bool closed = false;
    };
    struct Retained {
        PipeMessage message;
    };
    struct Pending {
        PipeMessage message;
        std::chrono::steady_clock::time_point due;
    };

    class Pipe : public MessagePipe {
      public:
        Pipe(LoopbackBroker& broker, std::shared_ptr<Client> client)
            : broker_(broker), client_(std::move(client)) {}
        ~Pipe() override { broker_.Close(client_); }
        bool Publish(const std::string& topic, std::span<const uint8_t> payload,
                     const std::string& responseTopic, const std::string& correlation) override {
            std::lock_guard guard(broker_.lock_);
            if (!broker_.up_) return false;
            broker_.Queue({topic, {payload.begin(), payload.end()}, correlation, responseTopic});
            return true;
        }
        bool IsConnected() const override {
            std::lock_guard guard(broker_.lock_);
            return broker_.up_;
        }

      private:
        LoopbackBroker& broker_;
        std::shared_ptr<Client> client_;
    };

    // With the lock held.
    void Queue(PipeMessage message) {
        auto due = std::chrono::steady_clock::now();
        if (delayedCount_ > 0 && message.topic.rfind(delayedTopic_, 0) == 0) {
            due += delay_;
            --delayedCount_;
        }
        pending_.push_back({std::move(message), due});
        std::stable_sort(pending_.begin(), pending_.end(),
                         [](const Pending& a, const Pending& b) { return a.due < b.due; });
        changed_.notify_all();
    }

    // Waits until no delivery to the client runs, and delivers none to it afterwards.
    void Close(const std::shared_ptr<Client>& client) {
        std::unique_lock guard(lock_);
        client->closed = true;
        std::erase(clients_, client);
        changed_.wait(guard, [this] { return !delivering_; });
    }

    void Deliver() {
        std::unique_lock guard(lock_);
        while (true) {
            if (stopping_) return;
            if (pending_.empty()) {
                changed_.wait(guard);
                continue;
            }
            if (pending_.front().due > std::chrono::steady_clock::now()) {
                changed_.wait_until(guard, pending_.front().due);
                continue;
            }
            PipeMessage message = std::move(pending_.front().message);
            pending_.pop_front();
            std::vector<std::shared_ptr<Client>> receivers;
            for (auto& client : clients_) {
                if (std::find(client->subscriptions.begin(), client->subscriptions.end(),
                              message.topic) != client->subscriptions.end()) {
                    receivers.push_back(client);
                }
            }
            delivering_ = true;
            guard.unlock();
            for (auto& client : receivers) {
                if (client->listener.message) client->listener.message(message);
            }
            guard.lock();
            delivering_ = false;
            changed_.notify_all();
        }
    }

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<Client>> clients_;
    std::vector<Retained> retained_;
    std::deque<Pending> pending_;
    std::string delayedTopic_;
    std::chrono::milliseconds delay_{0};
    int delayedCount_ = 0;
    bool up_ = true;
    bool stopping_ = false;
    bool delivering_ = false;
    std::thread delivery_;
};

}  // namespace kelcmd::testing
