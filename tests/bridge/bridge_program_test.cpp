// kelcmd-bridge as a process on a real broker, with its own simulated units.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "bridge_harness.h"
#include "mosquitto_broker.h"

namespace kelcmd::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

bool Online(const std::string& payload) {
    return payload == "online";
}

std::function<bool(const std::string&)> StateWhere(std::function<bool(const Json&)> test) {
    return [test](const std::string& payload) {
        const Json state = Json::parse(payload, nullptr, false);
        return state.is_object() && test(state);
    };
}

std::vector<std::string> BridgeArguments(const MosquittoBroker& broker, const std::string& bus,
                                         std::vector<std::string> more) {
    std::vector<std::string> arguments = {"--broker", broker.Url(), "--bus",     bus,
                                          "--scan",   "1-3",        "--timeout", "50"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// One broker for the suite; a bridge that polls and one that only answers (and tells every
// exchange on its line).
class BridgeProgram : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        broker_ = std::make_unique<MosquittoBroker>();
        ASSERT_TRUE(broker_->Start()) << broker_->Log();
        polled_ = std::make_unique<BridgeProcess>(
            BridgeArguments(*broker_, "polled", {"--poll", "50", "--homeassistant"}));
        quiet_ = std::make_unique<BridgeProcess>(
            BridgeArguments(*broker_, "quiet", {"--poll", "0", "--events"}));
    }
    static void TearDownTestSuite() {
        quiet_.reset();
        polled_.reset();
        broker_.reset();
    }

    static std::unique_ptr<MosquittoBroker> broker_;
    static std::unique_ptr<BridgeProcess> polled_;
    static std::unique_ptr<BridgeProcess> quiet_;
};

std::unique_ptr<MosquittoBroker> BridgeProgram::broker_;
std::unique_ptr<BridgeProcess> BridgeProgram::polled_;
std::unique_ptr<BridgeProcess> BridgeProgram::quiet_;

TEST_F(BridgeProgram, PublishesUnitStatesThatFollowAMoveAndAnswersCommands) {
    BrokerWatcher watcher(broker_->Host(), broker_->Port(), "kelcmd/polled/#");
    ASSERT_TRUE(watcher.WaitFor("kelcmd/polled/status", Online));
    for (const char* unit : {"1", "2", "3"})
        ASSERT_TRUE(watcher.WaitFor(
            std::string("kelcmd/polled/") + unit + "/state", StateWhere([](const Json& s) {
                return s["reachable"] == true && s["status"].contains("Moving") &&
                       s["error"]["mnemonic"] == "NO_ERROR" && s["versions"]["text"].is_string();
            })))
            << unit;

    auto reply = watcher.Ask("kelcmd/polled/2/command/MoveAbsolute",
                             R"({"position": 2000, "timeout": 5000})");
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["ok"], true) << reply->dump();
    EXPECT_TRUE(watcher.WaitFor("kelcmd/polled/2/state", StateWhere([](const Json& s) {
                                    return s["position"] == 2000 && s["status"]["Moving"] == false;
                                })));

    reply = watcher.Ask("kelcmd/polled/2/command/ReadPosVelCur", "{}");
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["ok"], true) << reply->dump();
    EXPECT_EQ((*reply)["values"]["positionIs"], 2000);
    EXPECT_TRUE((*reply)["values"]["velocityIs"].is_number());

    reply = watcher.Ask("kelcmd/polled/scan", "");
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["units"], Json::parse("[1, 2, 3]")) << reply->dump();

    reply = watcher.Ask("kelcmd/polled/9/command/ReadPosition", "");  // nobody at 9
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["ok"], false);
    EXPECT_EQ((*reply)["status"], "line_failed") << reply->dump();
}

TEST_F(BridgeProgram, AnnouncesTheUnitsToHomeAssistant) {
    BrokerWatcher watcher(broker_->Host(), broker_->Port(), "homeassistant/#");
    const auto config = watcher.WaitFor("homeassistant/sensor/kelcmd_polled_3/position/config",
                                        [](const std::string&) { return true; });
    ASSERT_TRUE(config);
    const Json position = Json::parse(*config, nullptr, false);
    EXPECT_EQ(position["state_topic"], "kelcmd/polled/3/state");
    EXPECT_EQ(position["availability_topic"], "kelcmd/polled/status");
    EXPECT_TRUE(watcher.WaitFor("homeassistant/binary_sensor/kelcmd_polled_3/status_Moving/config",
                                [](const std::string&) { return true; }));
}

// The request frame of ReadPosition to unit 2, without its CRC.
constexpr const char* kReadPositionOfUnit2 = "02 00 00 00 30 ";

// The events of one kind on the tap's topic, those of frames that begin with `bytes` if given.
int CountEvents(BrokerWatcher& watcher, const std::string& kind, const std::string& bytes = {}) {
    int found = 0;
    for (const std::string& text : watcher.Seen("/events")) {
        const Json event = Json::parse(text, nullptr, false);
        found += event.value("event", "") == kind && event.value("bytes", "").starts_with(bytes);
    }
    return found;
}

bool LastEventIs(BrokerWatcher& watcher, const std::string& kind) {
    const std::vector<std::string> events = watcher.Seen("/events");
    return !events.empty() && Json::parse(events.back(), nullptr, false).value("event", "") == kind;
}

TEST_F(BridgeProgram, RefusedAndReplayedRequestsNeverReachTheBus) {
    BrokerWatcher watcher(broker_->Host(), broker_->Port(), "kelcmd/quiet/#");
    ASSERT_TRUE(watcher.WaitFor("kelcmd/quiet/3/state", [](const std::string&) { return true; }));
    // The tap's events come in order: once the result of this command's exchange is there, so
    // are the scan's.
    ASSERT_TRUE(watcher.Ask("kelcmd/quiet/2/command/ReadPosition", ""));
    for (int i = 0; i < 500 && !(CountEvents(watcher, "request", kReadPositionOfUnit2) > 0 &&
                                 LastEventIs(watcher, "result"));
         ++i)
        std::this_thread::sleep_for(10ms);
    watcher.Forget();

    const std::string unit1 = "kelcmd/quiet/1/command/";
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {unit1 + "MoveAbsolute", "{\"position\": 10,"},
        {unit1 + "MoveAbsolute", std::string(1 << 20, '{')},
        {unit1 + "LaunchMissiles", "{}"},
        {unit1 + "MoveAbsolute", R"({"position": "10", "timeout": 100})"},
        {unit1 + "MoveAbsolute", R"({"position": 10, "timeout": 100000000000})"},
        {unit1 + "SetRegMode", R"({"regmode": 256})"},
        {"kelcmd/quiet/0/command/ReadPosition", ""},
    };
    for (const auto& [topic, payload] : hostile) {
        auto reply = watcher.Ask(topic, payload);
        ASSERT_TRUE(reply) << topic;
        EXPECT_EQ((*reply)["ok"], false) << topic;
        EXPECT_TRUE((*reply)["error"].is_string()) << reply->dump();
    }

    // A request whose reply would land on the bus's own scan topic runs, but sends no reply.
    mqtt::Message reflected;
    reflected.topic = unit1 + "ReadPosition";
    reflected.qos = 1;
    reflected.responseTopic = "kelcmd/quiet/scan";
    ASSERT_TRUE(watcher.client().Publish(reflected));

    auto first =
        watcher.Ask(unit1 + "MoveRelative", R"({"relPosition": 100, "timeout": 0})", "once");
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)["ok"], true) << first->dump();
    auto replayed =
        watcher.Ask(unit1 + "MoveRelative", R"({"relPosition": 100, "timeout": 0})", "once");
    ASSERT_TRUE(replayed);
    EXPECT_EQ((*replayed)["ok"], false);
    EXPECT_NE((*replayed)["error"].get<std::string>().find("already"), std::string::npos);

    // The two commands that ran close their exchanges on the tap; nothing else went out.
    for (int i = 0; i < 500 && CountEvents(watcher, "result") < 2; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(200ms);  // a late event of a refused request would come now
    EXPECT_EQ(CountEvents(watcher, "request"), 2);
}

TEST(BridgeLifetime, SigtermPublishesEveryBusOfflineAndExitsZero) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    BrokerWatcher watcher(broker.Host(), broker.Port(), "kelcmd/#");
    BridgeProcess bridge({"--broker", broker.Url(), "--scan", "1-3", "--timeout", "50", "--port",
                          "Com1", "--device", "sim:1-3", "--bus", "left", "--port", "Com2",
                          "--device", "sim:2", "--bus", "right"});
    ASSERT_TRUE(watcher.WaitFor("kelcmd/left/status", Online));
    ASSERT_TRUE(watcher.WaitFor("kelcmd/right/status", Online));
    ASSERT_TRUE(watcher.WaitFor("kelcmd/right/2/state", [](const std::string&) { return true; }));
    EXPECT_TRUE(watcher.Seen("right/1/state").empty());  // each bus has its own units
    EXPECT_EQ(bridge.Terminate(), 0);
    const auto offline = [](const std::string& p) { return p == "offline"; };
    EXPECT_TRUE(watcher.WaitFor("kelcmd/left/status", offline));
    EXPECT_TRUE(watcher.WaitFor("kelcmd/right/status", offline));
}

TEST(BridgeLifetime, LogsInWithThePasswordOfItsFile) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.RequirePassword("line3", "s3cret"));
    ASSERT_TRUE(broker.Start()) << broker.Log();
    const std::string passwordFile = broker.Directory() + "/bridge-password";
    std::ofstream(passwordFile) << "s3cret\n";
    BrokerWatcher watcher(broker.Host(), broker.Port(), "kelcmd/#", "line3", "s3cret");
    BridgeProcess bridge(BridgeArguments(broker, "guarded",
                                         {"--username", "line3", "--password-file", passwordFile}));
    EXPECT_TRUE(watcher.WaitFor("kelcmd/guarded/status", Online));
}

TEST(BridgeLifetime, ComesBackWithItsStatesAfterTheBrokerRestarts) {
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Log();
    BridgeProcess bridge(BridgeArguments(broker, "resilient", {"--poll", "0"}));
    {
        BrokerWatcher watcher(broker.Host(), broker.Port(), "kelcmd/resilient/#");
        ASSERT_TRUE(watcher.WaitFor("kelcmd/resilient/1/state", StateWhere([](const Json& s) {
                                        return s["reachable"] == true;
                                    })));
    }
    ASSERT_TRUE(broker.Restart()) << broker.Log();  // it keeps nothing retained
    BrokerWatcher watcher(broker.Host(), broker.Port(), "kelcmd/resilient/#");
    EXPECT_TRUE(watcher.WaitFor("kelcmd/resilient/status", Online, 20s));
    EXPECT_TRUE(watcher.WaitFor("kelcmd/resilient/1/state",
                                StateWhere([](const Json& s) { return s["reachable"] == true; })));
    auto reply = watcher.Ask("kelcmd/resilient/1/command/ReadPosition", "");
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)["ok"], true) << reply->dump();
}

}  // namespace
}  // namespace kelcmd::testing
