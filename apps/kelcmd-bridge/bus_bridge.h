#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "api/bus_scan.h"
#include "bridge_options.h"
#include "command_request.h"
#include "correlation_memory.h"
#include "exchange_service.h"
#include "mqtt_client.h"

namespace kelcmd {
class TapSubscription;
}

namespace kelcmd::bridge {

// One bus on the broker: its port, its own broker connection (whose last will marks this bus
// offline), and one worker thread that makes every exchange the bridge starts on it, one after
// the other. Commands go first; polling fills the time between them.
class BusBridge {
  public:
    BusBridge(const BridgeOptions& options, const BusSpec& bus);
    ~BusBridge();
    BusBridge(const BusBridge&) = delete;
    BusBridge& operator=(const BusBridge&) = delete;

    // Opens the port, looks for units and starts connecting to the broker; false with the reason
    // in `error` when the port does not open or the connection cannot be set up.
    bool Start(std::string& error);
    // Finishes the exchange in progress, publishes offline and disconnects; the port closes.
    void Stop();

    const std::string& TopicBase() const { return base_; }

  private:
    struct Job {
        enum class Kind { kCommand, kScan } kind = Kind::kCommand;
        CommandRequest request;
        std::string responseTopic;
        std::string correlationData;
    };

    void Connected(bool up);
    void CommandArrived(const mqtt::Message& message);
    void ScanAsked(const mqtt::Message& message);
    void Reply(const std::string& responseTopic, const std::string& correlationData,
               std::string payload);
    void Queue(Job job);

    void Work();
    void RunCommand(const Job& job);
    void Scan(const Job& asked);
    void Poll(uint8_t unit);
    void PublishState(uint8_t unit, const std::string& state);
    void PublishUnitAnnouncements(uint8_t unit, bool remove);
    void RepublishEverything();
    const ScannedUnit* FindUnit(uint8_t unit) const;
    void Log(const std::string& text) const;

    const BridgeOptions& options_;
    const BusSpec bus_;
    const std::string base_;  // PREFIX/BUS
    mqtt::Client client_;
    CorrelationMemory seen_;
    bool portOpen_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool republish_ = false;
    bool stopping_ = false;

    // The worker's own: the units found and what was last published of each.
    std::vector<ScannedUnit> units_;
    std::map<uint8_t, std::string> published_;
    std::vector<uint8_t> refreshSoon_;
    size_t pollCursor_ = 0;
    std::chrono::steady_clock::time_point nextPoll_{};

    std::unique_ptr<TapSubscription> events_;
    std::unique_ptr<ExchangeService> exchange_;  // raw exchanges of remote ports
    std::thread worker_;
};

}  // namespace kelcmd::bridge
