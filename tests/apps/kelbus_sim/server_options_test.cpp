// The command line of kelbus-sim and its fault rates.
#include "server_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelcmd::simserver {
namespace {

std::string Parse(std::vector<std::string> words, ServerOptions& options) {
    words.insert(words.begin(), "kelbus-sim");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return ParseServerOptions(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(ServerOptions, TakesEveryOption) {
    ServerOptions options;
    ASSERT_EQ(Parse({"--units", "1-3,7", "--link", "/tmp/ttyKEL0", "--speed", "10", "--paced",
                     "--fault", "lost-ack:0.05", "--fault", "late-answer:0.1:500", "--seed", "9",
                     "--trace", "--latency-timer", "16"},
                    options),
              "");
    EXPECT_EQ(SimulatedDevice(options), "sim:1-3,7,bus=kelbus-sim");
    EXPECT_EQ(options.link, "/tmp/ttyKEL0");
    EXPECT_EQ(options.speed, 10.0);
    EXPECT_TRUE(options.paced && options.trace);
    EXPECT_EQ(options.seed, 9u);
    EXPECT_EQ(options.latencyTimerMs, 16u);
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[0].fault, sim::Fault::DropAck);
    EXPECT_EQ(options.faults[0].rate, 0.05);
    EXPECT_FALSE(options.faults[0].parameter.has_value());
    EXPECT_EQ(options.faults[1].fault, sim::Fault::LateAnswer);
    EXPECT_EQ(options.faults[1].parameter, 500u);
}

TEST(ServerOptions, RefusesBadValues) {
    const std::vector<std::vector<std::string>> bad = {
        {"--units", "0"},
        {"--units", "1-200"},
        {"--units", "1,paced"},
        {"--units", "3-1"},
        {"--units", ""},
        {"--speed", "0"},
        {"--speed", "fast"},
        {"--link", ""},
        {"--link"},
        {"--seed", "-1"},
        {"--latency-timer", "0"},
        {"--latency-timer", "256"},
        {"--fault", "lost-ack"},
        {"--fault", "lost-ack:0"},
        {"--fault", "lost-ack:2"},
        {"--fault", "lost-ack:nan"},
        {"--fault", "nope:0.5"},
        {"--fault", "bad-ack:1:x"},
        {"--fault", "bad-ack:1:0x"},
        {"--colour"},
        {"extra"},
    };
    for (const auto& words : bad) {
        ServerOptions options;
        EXPECT_NE(Parse(words, options), "") << words.front() << " " << words.back();
    }
}

TEST(ServerOptions, FaultParameterInHex) {
    std::string error;
    const auto fault = ParseFaultRate("bad-ack:1:0x80", error);
    ASSERT_TRUE(fault.has_value()) << error;
    EXPECT_EQ(fault->fault, sim::Fault::CorruptAck);
    EXPECT_EQ(fault->rate, 1.0);
    EXPECT_EQ(fault->parameter, 0x80u);
}

}  // namespace
}  // namespace kelcmd::simserver
