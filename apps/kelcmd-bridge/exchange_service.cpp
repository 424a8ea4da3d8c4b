#include "exchange_service.h"

#include <span>
#include <utility>

#include "api/communication.h"
#include "transport/kel_communication.h"

namespace kelcmd::bridge {
namespace {

// More requests than a few remote ports keep in flight means someone floods the topic; the
// newest wait, the rest are dropped (their ports time out).
constexpr size_t kMaxWaiting = 64;
// A request is at most a frame and a few fields.
constexpr size_t kMaxRequestSize = 2048;

}  // namespace

ExchangeService::ExchangeService(mqtt::Client& client, std::string base, std::string port)
    : client_(client), topic_(std::move(base) + "/exchange"), port_(std::move(port)) {
    worker_ = std::thread([this] { Work(); });
    client_.Subscribe(topic_, 1, [this](const mqtt::Message& message) { Arrived(message); });
}

ExchangeService::~ExchangeService() {
    client_.Unsubscribe(topic_);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void ExchangeService::Arrived(const mqtt::Message& message) {
    // Only the exact topic: replies to a port's own subtopic never come back in as requests.
    if (message.topic != topic_ || message.responseTopic.empty() ||
        message.payload.size() > kMaxRequestSize) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    queue_.push_back(message);
    while (queue_.size() > kMaxWaiting) queue_.pop_front();
    wake_.notify_one();
}

void ExchangeService::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        mqtt::Message request = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        if (std::shared_ptr<CKelPort> port = Communication().FindPort(port_)) {
            const auto payload = std::span(reinterpret_cast<const uint8_t*>(request.payload.data()),
                                           request.payload.size());
            if (auto reply = responder_.Answer(*port, payload, request.correlationData)) {
                mqtt::Message answer;
                answer.topic = request.responseTopic;
                answer.payload.assign(reply->begin(), reply->end());
                answer.qos = 1;
                answer.correlationData = request.correlationData;
                client_.Publish(answer);
            }
        }
        lock.lock();
    }
}

}  // namespace kelcmd::bridge
