#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelcmd::bridge {

// One bus the bridge owns: the port it opens, the device behind it (empty: KELCMD_PORTS or the
// port name decides) and its name in the topics.
struct BusSpec {
    std::string port;
    std::string device;
    std::string name;
};

struct BridgeOptions {
    std::string broker = "mqtt://localhost:1883";
    std::string caFile;
    std::string username;
    std::string password;  // from --password-file or KELCMD_MQTT_PASSWORD, never the command line
    std::string prefix = "kelcmd";
    std::vector<BusSpec> buses;
    uint32_t baud = 19200;
    uint32_t timeout = 100;
    uint32_t pollMs = 1000;
    uint8_t scanFirst = 1;
    uint8_t scanLast = 32;
    bool events = false;
    bool homeAssistant = false;
    std::string discoveryPrefix = "homeassistant";
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// Reads the command line and the environment (KELCMD_PORTS, KELCMD_MQTT_USERNAME,
// KELCMD_MQTT_PASSWORD); fills in the buses and their names. Returns an error text naming the
// argument, or empty on success.
std::string ParseBridgeOptions(int argc, char** argv, BridgeOptions& options);

// The --help text: options, topics, environment and exit status.
const char* BridgeHelpText();

// A topic level made of any text: '/', '+', '#' and control characters become '_'.
std::string TopicLevel(const std::string& text);

}  // namespace kelcmd::bridge
