#include "bus_bridge.h"

#include <algorithm>
#include <cstdio>

#include "broker_url.h"
#include "discovery.h"
#include "frame_trace.h"
#include "kelcmd/kelcmd.h"
#include "platform/clock.h"
#include "replies.h"
#include "system_reason.h"
#include "transport/bus_tap.h"
#include "transport/result_codes.h"
#include "unit_state.h"

namespace kelcmd::bridge {
namespace {

using namespace std::chrono_literals;

mqtt::ClientOptions ClientOptionsFor(const BridgeOptions& options, const std::string& base) {
    const auto url = mqtt::ParseBrokerUrl(options.broker).value_or(mqtt::BrokerUrl{});
    mqtt::ClientOptions client;
    client.host = url.host;
    client.port = url.port;
    client.tls = url.tls;
    client.caFile = options.caFile;
    client.username = options.username;
    client.password = options.password;
    mqtt::Message will;
    will.topic = base + "/status";
    will.payload = "offline";
    will.qos = 1;
    will.retain = true;
    client.will = will;
    return client;
}

mqtt::Message Retained(std::string topic, std::string payload) {
    mqtt::Message message;
    message.topic = std::move(topic);
    message.payload = std::move(payload);
    message.qos = 1;
    message.retain = true;
    return message;
}

// The levels of a topic below `base`: "1/command/MoveAbsolute" -> {"1", "command", ...}.
std::vector<std::string> LevelsBelow(const std::string& topic, const std::string& base) {
    std::vector<std::string> levels;
    if (topic.size() <= base.size() + 1 || topic.compare(0, base.size(), base) != 0) return levels;
    size_t start = base.size() + 1;
    while (true) {
        const size_t slash = topic.find('/', start);
        levels.push_back(topic.substr(start, slash - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return levels;
}

}  // namespace

BusBridge::BusBridge(const BridgeOptions& options, const BusSpec& bus)
    : options_(options),
      bus_(bus),
      base_(options.prefix + "/" + bus.name),
      client_(ClientOptionsFor(options, base_)) {}

BusBridge::~BusBridge() {
    Stop();
}

bool BusBridge::Start(std::string& error) {
    if (!bus_.device.empty()) KEB_MapPort(bus_.port.c_str(), bus_.device.c_str());
    const uint8_t opened =
        KEB_InitKelBus(options_.baud, bus_.port.c_str(), KEB_RTS_CONTROL, options_.timeout, 4);
    if (opened != RESULT_OK) {
        error = app::OpenFailureText(bus_.port, opened);
        return false;
    }
    portOpen_ = true;
    if (options_.events) {
        const auto wallAtStart = std::chrono::system_clock::now();
        const uint64_t monotonicAtStart = MonotonicNanoseconds();
        events_ = std::make_unique<TapSubscription>(
            bus_.port, TapSubscription::kDefaultCapacity, [=, this](const BusEvent& event) {
                mqtt::Message message;
                message.topic = base_ + "/events";
                message.payload =
                    app::TraceJson(app::RecordOf(event, wallAtStart, monotonicAtStart));
                client_.Publish(message);
            });
    }
    Job scan;  // the worker's first job: the commands that arrive meanwhile wait for it
    scan.kind = Job::Kind::kScan;
    Queue(std::move(scan));

    client_.OnConnection([this](bool up) { Connected(up); });
    // Said without --verbose: the bridge cannot work until this is mended.
    client_.OnRefused([this](const std::string& reason) {
        std::fprintf(stderr, "kelcmd-bridge: %s: the broker refused the connection: %s\n",
                     bus_.name.c_str(), reason.c_str());
    });
    client_.Subscribe(base_ + "/+/command/+", 1,
                      [this](const mqtt::Message& message) { CommandArrived(message); });
    client_.Subscribe(base_ + "/scan", 1,
                      [this](const mqtt::Message& message) { ScanAsked(message); });
    exchange_ = std::make_unique<ExchangeService>(client_, base_, bus_.port);
    if (!client_.Start()) {
        error = "cannot connect to " + options_.broker + ": " + client_.LastError();
        return false;
    }
    worker_ = std::thread([this] { Work(); });
    return true;
}

void BusBridge::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();  // after the exchange in progress
    exchange_.reset();                       // likewise after a remote port's exchange in progress
    events_.reset();
    if (client_.IsConnected()) {
        client_.Publish(Retained(base_ + "/status", "offline"));
        client_.WaitDelivered(3s);
    }
    client_.Stop();
    if (portOpen_) KEB_CloseKelBusPort(bus_.port.c_str());
    portOpen_ = false;
}

void BusBridge::Connected(bool up) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
    }
    Log(up ? "connected to " + options_.broker : "lost the broker; connecting again");
    if (!up) return;
    // Runs on the connection's thread: the worker publishes the states, which are its own.
    client_.Publish(Retained(base_ + "/status", "online"));
    {
        std::lock_guard lock(mutex_);
        republish_ = true;
    }
    wake_.notify_all();
}

void BusBridge::CommandArrived(const mqtt::Message& message) {
    const std::vector<std::string> levels = LevelsBelow(message.topic, base_);
    if (levels.size() != 3) return;
    const std::string& name = levels[2];
    std::string error;
    auto request = ParseCommandRequest(levels[0], name, message.payload, error);
    if (!request) {
        Log("refused " + name + " for unit " + levels[0] + ": " + error);
        Reply(message.responseTopic, message.correlationData,
              ErrorReply(name, std::atoi(levels[0].c_str()), error));
        return;
    }
    if (!message.correlationData.empty() &&
        !seen_.Remember(message.responseTopic, message.correlationData)) {
        Log("refused " + name + ": its correlation data was seen before");
        Reply(message.responseTopic, message.correlationData,
              ErrorReply(name, request->unit,
                         "a request with this correlation data was already taken; it is not run "
                         "again"));
        return;
    }
    Queue(
        {Job::Kind::kCommand, std::move(*request), message.responseTopic, message.correlationData});
}

void BusBridge::ScanAsked(const mqtt::Message& message) {
    if (!message.correlationData.empty() &&
        !seen_.Remember(message.responseTopic, message.correlationData))
        return;
    Job job;
    job.kind = Job::Kind::kScan;
    job.responseTopic = message.responseTopic;
    job.correlationData = message.correlationData;
    Queue(std::move(job));
}

void BusBridge::Queue(Job job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void BusBridge::Reply(const std::string& responseTopic, const std::string& correlationData,
                      std::string payload) {
    if (responseTopic.empty()) return;  // nobody asked for an answer
    // A reply never goes to the bus's own topics, where it would be taken as a request.
    if (responseTopic.compare(0, base_.size() + 1, base_ + "/") == 0) {
        Log("no reply to " + responseTopic + ": it is one of this bus's own topics");
        return;
    }
    mqtt::Message reply;
    reply.topic = responseTopic;
    reply.payload = std::move(payload);
    reply.qos = 1;
    reply.correlationData = correlationData;
    client_.Publish(reply);
}

void BusBridge::Work() {
    while (true) {
        std::optional<Job> job;
        bool republish = false;
        {
            std::unique_lock lock(mutex_);
            const auto ready = [&] {
                return stopping_ || !jobs_.empty() || republish_ || !refreshSoon_.empty() ||
                       pollCursor_ < units_.size() ||
                       (options_.pollMs > 0 && std::chrono::steady_clock::now() >= nextPoll_);
            };
            if (options_.pollMs > 0)
                wake_.wait_until(lock, nextPoll_, ready);
            else
                wake_.wait(lock, ready);
            if (stopping_) return;
            if (!jobs_.empty()) {
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            std::swap(republish, republish_);
        }
        if (republish) RepublishEverything();
        if (job) {
            if (job->kind == Job::Kind::kScan)
                Scan(*job);
            else
                RunCommand(*job);
            continue;
        }
        // One unit per turn, so that a command waits for one unit's reads at most.
        if (!refreshSoon_.empty()) {
            const uint8_t unit = refreshSoon_.back();
            refreshSoon_.pop_back();
            Poll(unit);
        } else if (pollCursor_ < units_.size()) {
            Poll(units_[pollCursor_++].address);
        } else if (options_.pollMs > 0 && std::chrono::steady_clock::now() >= nextPoll_) {
            pollCursor_ = 0;
            nextPoll_ =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.pollMs);
        }
    }
}

void BusBridge::RunCommand(const Job& job) {
    const app::ExportEntry& entry = *job.request.entry;
    std::vector<std::string> outputs;
    std::vector<double> values;
    std::string error;
    const auto result = entry.call(bus_.port.c_str(), job.request.unit, job.request.inputs, outputs,
                                   error, &values);
    if (!result) {  // checked on arrival already; kept for safety
        Reply(job.responseTopic, job.correlationData,
              ErrorReply(entry.name, job.request.unit, error));
        return;
    }
    KebOutcome outcome{};
    outcome.size = sizeof outcome;
    KEB_GetLastOutcome(&outcome);
    Log(entry.name + " for unit " + std::to_string(job.request.unit) +
        (*result == 1 ? ": OK" : ": failed: " + ResultCodeText(outcome.result)));
    Reply(job.responseTopic, job.correlationData,
          CommandReply(entry, job.request.unit, *result, outcome, values));
    // What the command changed shows in the unit's state soon, not at the next poll.
    if (options_.pollMs > 0 && FindUnit(job.request.unit) &&
        std::find(refreshSoon_.begin(), refreshSoon_.end(), job.request.unit) == refreshSoon_.end())
        refreshSoon_.push_back(job.request.unit);
}

void BusBridge::Scan(const Job& asked) {
    const BusScanResult result =
        ScanBus(bus_.port, options_.scanFirst, options_.scanLast, options_.timeout);
    // Units that are gone lose their retained state and their sensors.
    for (const ScannedUnit& before : units_) {
        const bool still =
            std::any_of(result.units.begin(), result.units.end(),
                        [&](const ScannedUnit& u) { return u.address == before.address; });
        if (!still) {
            client_.Publish(Retained(base_ + "/" + std::to_string(before.address) + "/state", ""));
            PublishUnitAnnouncements(before.address, true);
            published_.erase(before.address);
        }
    }
    units_ = result.units;
    for (const ScannedUnit& unit : units_) {
        PublishUnitAnnouncements(unit.address, false);
        Poll(unit.address);
    }
    pollCursor_ = units_.size();  // every unit was just read: the round is done
    Log("found " + std::to_string(units_.size()) + " units on " + bus_.port);
    if (!asked.responseTopic.empty()) {
        std::string list;
        for (const ScannedUnit& unit : units_)
            list += (list.empty() ? "" : ",") + std::to_string(unit.address);
        std::string reply =
            "{\"command\":\"scan\",\"ok\":" + std::string(result.failure == 0 ? "true" : "false") +
            ",\"units\":[" + list + "]";
        if (result.failure != 0) reply += ",\"result\":" + std::to_string(result.failure);
        Reply(asked.responseTopic, asked.correlationData, reply + "}");
    }
}

void BusBridge::Poll(uint8_t unit) {
    const ScannedUnit* scanned = FindUnit(unit);
    if (scanned) PublishState(unit, ReadUnitState(bus_.port, *scanned));
}

void BusBridge::PublishState(uint8_t unit, const std::string& state) {
    std::string& last = published_[unit];
    if (last == state) return;
    // Only what reached a connected client counts as published: the connection publishes the
    // rest when it comes (again).
    if (client_.IsConnected() &&
        client_.Publish(Retained(base_ + "/" + std::to_string(unit) + "/state", state)))
        last = state;
}

void BusBridge::PublishUnitAnnouncements(uint8_t unit, bool remove) {
    if (!options_.homeAssistant) return;
    DiscoveredUnit discovered{options_.discoveryPrefix, bus_.name, base_ + "/status",
                              base_ + "/" + std::to_string(unit) + "/state", unit};
    for (const mqtt::Message& message : DiscoveryMessages(discovered, remove))
        client_.Publish(message);
}

void BusBridge::RepublishEverything() {
    // A broker that restarted may have forgotten the retained messages.
    for (const ScannedUnit& unit : units_) {
        PublishUnitAnnouncements(unit.address, false);
        auto last = published_.find(unit.address);
        if (last != published_.end() && !last->second.empty())
            client_.Publish(
                Retained(base_ + "/" + std::to_string(unit.address) + "/state", last->second));
        else
            Poll(unit.address);
    }
}

const ScannedUnit* BusBridge::FindUnit(uint8_t unit) const {
    for (const ScannedUnit& scanned : units_)
        if (scanned.address == unit) return &scanned;
    return nullptr;
}

void BusBridge::Log(const std::string& text) const {
    if (options_.verbose)
        std::fprintf(stderr, "kelcmd-bridge: %s: %s\n", bus_.name.c_str(), text.c_str());
}

}  // namespace kelcmd::bridge
