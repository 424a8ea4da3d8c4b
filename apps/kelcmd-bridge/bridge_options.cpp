#include "bridge_options.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "broker_url.h"
#include "hex.h"
#include "transport/port_resolver.h"

namespace kelcmd::bridge {
namespace {

constexpr const char* kDefaultDevice = "sim:1-3";
constexpr uint32_t kMaxBaud = 4000000;
constexpr uint32_t kMaxTimeout = 600000;
constexpr uint32_t kMaxPoll = 3600000;
constexpr uint32_t kLastUnit = 127;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "kelcmd";
    return name;
}

std::string ReadSecretFile(const std::string& path, std::string& secret) {
    std::ifstream file(path);
    if (!file) return "--password-file: cannot read '" + path + "'";
    std::getline(file, secret);
    if (!secret.empty() && secret.back() == '\r') secret.pop_back();
    return {};
}

std::string ParseRange(const std::string& option, const std::string& value, uint32_t min,
                       uint32_t max, const char* what, uint32_t& out) {
    const auto number = app::ParseNumber(value, max);
    if (!number || *number < min)
        return option + ": '" + value + "' is not " + what + " from " + std::to_string(min) +
               " to " + std::to_string(max);
    out = *number;
    return {};
}

std::string ParseScanRange(const std::string& value, BridgeOptions& options) {
    const size_t dash = value.find('-');
    const auto first = app::ParseNumber(value.substr(0, dash), kLastUnit);
    const auto last =
        dash == std::string::npos ? first : app::ParseNumber(value.substr(dash + 1), kLastUnit);
    if (!first || !last || *first == 0 || *first > *last)
        return "--scan: '" + value + "' is not a unit address range FIRST-LAST within 1-127";
    options.scanFirst = static_cast<uint8_t>(*first);
    options.scanLast = static_cast<uint8_t>(*last);
    return {};
}

// The first of Com1 to Com99 that neither a bus nor a mapping of its own takes, or empty.
std::string FreeComPort(const std::vector<BusSpec>& buses) {
    for (int number = 1; number <= 99; ++number) {
        const std::string port = "Com" + std::to_string(number);
        const bool taken = HasPortMapping(port) ||
                           std::any_of(buses.begin(), buses.end(), [&](const BusSpec& bus) {
                               return strcasecmp(bus.port.c_str(), port.c_str()) == 0;
                           });
        if (!taken) return port;
    }
    return {};
}

// The bus that --device and --bus apply to: the last --port, or Com1 when none came yet.
BusSpec& CurrentBus(BridgeOptions& options) {
    if (options.buses.empty()) options.buses.push_back({"Com1", "", ""});
    return options.buses.back();
}

std::string SetValueOption(const std::string& option, const std::string& value,
                           BridgeOptions& options, std::string& passwordFile) {
    uint32_t number = 0;
    if (value.empty() && option != "--homeassistant") return option + ": the value is empty";
    if (option == "--broker") {
        options.broker = value;
    } else if (option == "--ca-file") {
        options.caFile = value;
    } else if (option == "--username") {
        options.username = value;
    } else if (option == "--password-file") {
        passwordFile = value;
    } else if (option == "--prefix") {
        if (TopicLevel(value) != value)
            return "--prefix: '" + value + "' holds / + # or control characters";
        options.prefix = value;
    } else if (option == "--port") {
        options.buses.push_back({value, "", ""});
    } else if (option == "--device") {
        CurrentBus(options).device = value;
    } else if (option == "--bus") {
        if (TopicLevel(value) != value)
            return "--bus: '" + value + "' holds / + # or control characters";
        CurrentBus(options).name = value;
    } else if (option == "--baud") {
        std::string error = ParseRange(option, value, 1, kMaxBaud, "a baud rate", number);
        options.baud = number;
        return error;
    } else if (option == "--timeout") {
        std::string error = ParseRange(option, value, 1, kMaxTimeout, "a time in ms", number);
        options.timeout = number;
        return error;
    } else if (option == "--poll") {
        std::string error = ParseRange(option, value, 0, kMaxPoll, "a period in ms", number);
        options.pollMs = number;
        return error;
    } else if (option == "--scan") {
        return ParseScanRange(value, options);
    } else if (option == "--discovery-prefix") {
        options.discoveryPrefix = value;
        options.homeAssistant = true;
    }
    return {};
}

// The option without a value that `word` names, or null.
bool* Flag(const std::string& word, BridgeOptions& options) {
    if (word == "--events") return &options.events;
    if (word == "--homeassistant") return &options.homeAssistant;
    if (word == "-v" || word == "--verbose") return &options.verbose;
    return nullptr;
}

bool TakesValue(const std::string& option) {
    for (const char* known :
         {"--broker", "--ca-file", "--username", "--password-file", "--prefix", "--port",
          "--device", "--bus", "--baud", "--timeout", "--poll", "--scan", "--discovery-prefix"})
        if (option == known) return true;
    return false;
}

}  // namespace

std::string TopicLevel(const std::string& text) {
    std::string level = text;
    for (char& c : level)
        if (c == '/' || c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return level;
}

std::string ParseBridgeOptions(int argc, char** argv, BridgeOptions& options) {
    std::string passwordFile;
    bool portGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "-h" || word == "--help" || word == "--version") {
            (word == "--version" ? options.version : options.help) = true;
            return {};
        }
        if (bool* flag = Flag(word, options)) {
            *flag = true;
            continue;
        }
        if (word == "--password")
            return "--password: give the password in a file or KELCMD_MQTT_PASSWORD";
        const size_t equals = word.find('=');
        const std::string option = word.substr(0, equals);
        if (!TakesValue(option)) return "unknown argument '" + word + "'";
        std::optional<std::string> value;
        if (equals != std::string::npos) value = word.substr(equals + 1);
        if (!value) {
            if (i + 1 >= argc) return "option " + option + " needs a value";
            value = argv[++i];
        }
        if (std::string error = SetValueOption(option, *value, options, passwordFile);
            !error.empty())
            return error;
        portGiven = portGiven || option == "--port";
    }

    const auto url = mqtt::ParseBrokerUrl(options.broker);
    if (!url) return "--broker: '" + options.broker + "' is not mqtt://host[:port] or mqtts://...";
    if (options.username.empty()) options.username = url->user;
    if (options.username.empty()) options.username = Environment("KELCMD_MQTT_USERNAME");
    options.password = Environment("KELCMD_MQTT_PASSWORD");
    if (!passwordFile.empty())
        if (std::string error = ReadSecretFile(passwordFile, options.password); !error.empty())
            return error;

    if (!portGiven && options.buses.empty())
        for (const std::string& port : EnvironmentPortNames())
            options.buses.push_back({port, "", ""});
    // Without a port of its own the bridge serves three simulated units.
    if (!portGiven && options.buses.size() <= 1) {
        BusSpec& bus = CurrentBus(options);
        if (bus.device.empty() && !HasPortMapping(bus.port)) bus.device = kDefaultDevice;
    }
    const std::string host = TopicLevel(HostName());
    for (BusSpec& bus : options.buses) {
        if (bus.name.empty()) bus.name = host + "-" + TopicLevel(bus.port);
        for (const BusSpec& other : options.buses)
            if (&other != &bus && other.port == bus.port)
                return "--port: '" + bus.port + "' is given twice";
    }
    // Unit commands go only to ports named Com1 to Com99: a device path given as the port is the
    // device of the first ComN no other bus uses.
    for (BusSpec& bus : options.buses) {
        if (bus.port.front() != '/' || !bus.device.empty() || HasPortMapping(bus.port)) continue;
        bus.device = bus.port;
        bus.port = FreeComPort(options.buses);
        if (bus.port.empty()) return "--port: more buses than the ports Com1 to Com99";
    }
    for (const BusSpec& bus : options.buses)
        for (const BusSpec& other : options.buses)
            if (&other != &bus && other.name == bus.name)
                return "--bus: two buses are named '" + bus.name + "'";
    return {};
}

const char* BridgeHelpText() {
    return R"(usage: kelcmd-bridge [OPTIONS]

Owns one or more KelBus lines and connects them to an MQTT 5 broker: it publishes the state of
every unit it finds, runs commands that arrive as JSON and answers on the MQTT 5 response topic.

Options:
  --broker URL            the broker: mqtt://[user@]host[:port] (1883) or mqtts://... (TLS, 8883);
                          default mqtt://localhost:1883
  --ca-file FILE          certificate authorities for mqtts:// (default: the system's)
  --username NAME         user name at the broker (also the URL's user@ or KELCMD_MQTT_USERNAME)
  --password-file FILE    the password is the file's first line (or KELCMD_MQTT_PASSWORD); there
                          is no option that takes the password itself
  --prefix PREFIX         the first topic level, default kelcmd
  --port NAME             a bus on this port (Com1, ..., or a device path such as /dev/ttyUSB0,
                          which then runs on the first free ComN); repeat for more buses
  --device DEVICE         the device of the last --port (/dev/ttyUSB0, sim:1-3, ...)
  --bus NAME              the last --port's name in the topics; default HOSTNAME-PORT
  --baud RATE             the line's baud rate, default 19200
  --timeout MS            the answer timeout of every port, default 100
  --poll MS               read each unit's state this often, default 1000; 0: never
  --scan FIRST-LAST       the unit addresses to look for, default 1-32
  --events                publish every exchange on the line (the bus tap) to .../events
  --homeassistant         publish Home Assistant discovery configurations for each unit
  --discovery-prefix P    their topic prefix, default homeassistant (implies --homeassistant)
  -v, --verbose           tell on standard error about connections and commands
  -h, --help              print this help;  --version  print the version
Without --port the buses are the ports of KELCMD_PORTS, or else Com1 on sim:1-3 (three simulated
units).

Topics (BUS is the bus name):
  PREFIX/BUS/status                 online or offline (retained; offline is also the last will)
  PREFIX/BUS/UNIT/state             retained JSON of each unit found: position, velocity,
                                    current, axis status bits, error and warning with their
                                    texts, versions; published when it changes
  PREFIX/BUS/UNIT/command/NAME      a JSON object of NAME's send parameters by the names that
                                    `kelcmd commands` lists, e.g. MoveAbsolute
                                    {"position": 1000, "timeout": 5000}; the reply goes to the
                                    message's MQTT 5 response topic with its correlation data:
                                    {"ok", "result", "result_text", "unit_error", "warning", ...,
                                    "values": {...}}, or {"ok": false, "error": "..."} when the
                                    request is refused before it reaches the bus
  PREFIX/BUS/scan                   look for units again (reply as above when asked with a
                                    response topic)
  PREFIX/BUS/exchange               raw request frames of remote ports (mqtt:// devices)
  PREFIX/BUS/events                 with --events: one JSON object per event on the line
A request whose correlation data was already seen on this bus is answered with an error and not
run again: a message the broker delivers twice never moves a unit twice.

Environment:
  KELCMD_PORTS            NAME=DEVICE,... the buses when no --port is given, and their devices
  KELCMD_MQTT_USERNAME    the user name when neither --username nor the URL gives one
  KELCMD_MQTT_PASSWORD    the password when no --password-file is given

Exit status:
  0  stopped by SIGTERM or SIGINT (the exchange in progress finished, offline published)
  1  a port could not be opened or the broker connection could not be set up
  2  wrong options
)";
}

}  // namespace kelcmd::bridge
