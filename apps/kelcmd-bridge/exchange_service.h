#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "mqtt_client.h"
#include "transport/exchange_responder.h"

namespace kelcmd::bridge {

// The exchange topic of one bus, <prefix>/<bus>/exchange: remote ports send raw request frames
// there; each runs on the local port under its lock (between the bridge's own polling and
// commands) and its reply goes to the request's response topic with its correlation data. A
// redelivered request runs once. Requests wait in a short queue for the service's own thread,
// since the client's handlers must not make bus exchanges.
class ExchangeService {
  public:
    // `base` is <prefix>/<bus>; `port` the port name the bus is open as.
    ExchangeService(mqtt::Client& client, std::string base, std::string port);
    // Finishes the exchange in progress; what still waits is dropped (its ports time out).
    ~ExchangeService();
    ExchangeService(const ExchangeService&) = delete;
    ExchangeService& operator=(const ExchangeService&) = delete;

    uint64_t Duplicates() const { return responder_.Duplicates(); }

  private:
    void Arrived(const mqtt::Message& message);
    void Work();

    mqtt::Client& client_;
    const std::string topic_;
    const std::string port_;
    ExchangeResponder responder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<mqtt::Message> queue_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace kelcmd::bridge
