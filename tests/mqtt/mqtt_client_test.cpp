#include "mqtt_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "broker_url.h"
#include "mosquitto_broker.h"

namespace kelcmd::mqtt {
namespace {

using namespace std::chrono_literals;
using testing::MosquittoBroker;

TEST(BrokerUrl, ReadsWhatUsersWrite) {
    auto plain = ParseBrokerUrl("mqtt://localhost");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->tls);
    EXPECT_EQ(plain->host, "localhost");
    EXPECT_EQ(plain->port, 1883);
    EXPECT_EQ(plain->path, "");

    auto full = ParseBrokerUrl("mqtts://operator@broker.plant:9000/kelcmd/line3-Com1");
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->tls);
    EXPECT_EQ(full->user, "operator");
    EXPECT_EQ(full->host, "broker.plant");
    EXPECT_EQ(full->port, 9000);
    EXPECT_EQ(full->path, "kelcmd/line3-Com1");

    EXPECT_EQ(ParseBrokerUrl("mqtts://broker")->port, 8883);
    auto v6 = ParseBrokerUrl("mqtt://[::1]:1884/p");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(v6->port, 1884);

    for (const char* bad : {"http://host", "mqtt://", "mqtt://:1883", "mqtt://host:0",
                            "mqtt://host:65536", "mqtt://host:12x", "mqtt://@host", "mqtt://[::1"})
        EXPECT_FALSE(ParseBrokerUrl(bad)) << bad;
}

// Collects what a client receives, for the test thread to wait on.
struct Inbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Message> messages;

    void Add(const Message& message) {
        std::lock_guard lock(mutex);
        messages.push_back(message);
        arrived.notify_all();
    }
    bool WaitFor(size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, timeout, [&] { return messages.size() >= count; });
    }
};

Message Plain(std::string topic, std::string payload, int qos = 0, bool retain = false) {
    Message message;
    message.topic = std::move(topic);
    message.payload = std::move(payload);
    message.qos = qos;
    message.retain = retain;
    return message;
}

ClientOptions OptionsFor(const MosquittoBroker& broker) {
    ClientOptions options;
    options.host = broker.Host();
    options.port = broker.Port();
    return options;
}

TEST(MqttClient, CarriesTheRequestResponsePropertiesBothWays) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    Inbox inbox;
    Inbox other;
    Client receiver(OptionsFor(broker));
    ASSERT_TRUE(receiver.Start());
    ASSERT_TRUE(receiver.Subscribe("bus/+/command/#", 1, [&](const Message& m) { inbox.Add(m); }));
    ASSERT_TRUE(receiver.Subscribe("bus/+/exchange", 1, [&](const Message& m) { other.Add(m); }));
    EXPECT_FALSE(receiver.Subscribe("bus/#/wrong"));
    ASSERT_TRUE(receiver.WaitConnected(5s)) << receiver.LastError();

    Client sender(OptionsFor(broker));
    ASSERT_TRUE(sender.Start());
    ASSERT_TRUE(sender.WaitConnected(5s));
    Message request;
    request.topic = "bus/1/command/ReadPosition";
    request.payload = std::string("{}\0x", 4);
    request.qos = 1;
    request.responseTopic = "replies/abc";
    request.correlationData = std::string("\x00\x01\xFFid", 5);
    request.userProperties = {{"client", "cli"}, {"client", "studio"}};
    // The subscription may still be on its way to the broker: send until one arrives.
    for (int i = 0; i < 50 && !inbox.WaitFor(1, 100ms); ++i) ASSERT_TRUE(sender.Publish(request));
    ASSERT_TRUE(inbox.WaitFor(1));
    ASSERT_TRUE(sender.WaitDelivered(5s));

    const Message& got = inbox.messages.front();
    EXPECT_EQ(got.topic, request.topic);
    EXPECT_EQ(got.payload, request.payload);
    EXPECT_EQ(got.qos, 1);
    EXPECT_EQ(got.responseTopic, request.responseTopic);
    EXPECT_EQ(got.correlationData, request.correlationData);
    EXPECT_EQ(got.userProperties, request.userProperties);
    EXPECT_TRUE(other.messages.empty());  // each handler hears only its own filter
}

TEST(MqttClient, RetainedMessagesReachLateSubscribers) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    Client publisher(OptionsFor(broker));
    ASSERT_TRUE(publisher.Start());
    ASSERT_TRUE(publisher.WaitConnected(5s));
    ASSERT_TRUE(publisher.Publish(Plain("bus/status", "online", 1, true)));
    ASSERT_TRUE(publisher.WaitDelivered(5s));

    Inbox inbox;
    Client late(OptionsFor(broker));
    late.OnMessage([&](const Message& m) { inbox.Add(m); });
    late.Subscribe("bus/status");
    ASSERT_TRUE(late.Start());
    ASSERT_TRUE(inbox.WaitFor(1));
    EXPECT_EQ(inbox.messages[0].payload, "online");
    EXPECT_TRUE(inbox.messages[0].retain);
}

TEST(MqttClient, ReconnectsAndSubscribesAgainAfterTheBrokerRestarts) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    Inbox inbox;
    std::mutex mutex;
    std::vector<bool> transitions;
    Client subscriber(OptionsFor(broker));
    subscriber.OnMessage([&](const Message& m) { inbox.Add(m); });
    subscriber.OnConnection([&](bool up) {
        std::lock_guard lock(mutex);
        transitions.push_back(up);
    });
    subscriber.Subscribe("t/#");
    ASSERT_TRUE(subscriber.Start());
    ASSERT_TRUE(subscriber.WaitConnected(5s));

    broker.Stop();
    for (int i = 0; i < 100 && subscriber.IsConnected(); ++i) std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(subscriber.IsConnected());
    EXPECT_FALSE(subscriber.Publish(Plain("t/lost", "x")));  // QoS 0, no broker
    ASSERT_TRUE(broker.Start()) << broker.Log();
    ASSERT_TRUE(subscriber.WaitConnected(15s)) << subscriber.LastError();

    Client sender(OptionsFor(broker));
    ASSERT_TRUE(sender.Start());
    ASSERT_TRUE(sender.WaitConnected(5s));
    for (int i = 0; i < 50 && !inbox.WaitFor(1, 100ms); ++i)
        sender.Publish(Plain("t/again", "back", 1));
    ASSERT_TRUE(inbox.WaitFor(1));
    EXPECT_EQ(inbox.messages[0].topic, "t/again");
    std::lock_guard lock(mutex);
    EXPECT_EQ(transitions, (std::vector<bool>{true, false, true}));
}

TEST(MqttClient, RefusesWhatCannotBePublished) {
    Client unstarted(ClientOptions{});
    EXPECT_FALSE(unstarted.Publish(Plain("t", "x")));
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start());
    Client client(OptionsFor(broker));
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitConnected(5s));
    EXPECT_FALSE(client.Publish(Plain("wild/#", "x")));
    EXPECT_FALSE(client.Publish(Plain("", "x")));
    Message tooLong = Plain("t", "x");
    tooLong.correlationData = std::string(70000, 'c');  // over 64 KiB
    EXPECT_FALSE(client.Publish(tooLong));
}

}  // namespace
}  // namespace kelcmd::mqtt
