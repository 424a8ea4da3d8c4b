#include "session.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "api/communication.h"
#include "hex.h"
#include "kelcmd/kelcmd.h"
#include "platform/line_rates.h"
#include "sim/sim_options.h"
#include "system_reason.h"
#include "transport/kel_communication.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

// Without a device on the command line or in KELCMD_PORTS the program talks to simulated units.
constexpr const char* kDefaultDevice = "sim:1-3";
constexpr uint32_t kMaxTimeout = 600000;

// A number option in [min, max]; an error text naming the option and its range otherwise.
std::string ParseRange(const std::string& option, const std::string& value, uint32_t min,
                       uint32_t max, const char* what, uint32_t& out) {
    const auto number = ParseNumber(value, max);
    if (!number || *number < min) {
        return option + ": '" + value + "' is not " + what + " from " + std::to_string(min) +
               " to " + std::to_string(max);
    }
    out = *number;
    return {};
}

// Sets one option that takes a value; an error text when the value does not fit.
std::string SetValueOption(const std::string& option, const std::string& value, Options& options) {
    uint32_t number = 0;
    std::string error;
    if (option == "--port") {
        if (value.empty()) return "--port: the port name is empty";
        options.port = value;
    } else if (option == "--device") {
        if (value.empty()) return "--device: the device is empty";
        options.device = value;
    } else if (option == "--slave") {
        error = ParseRange(option, value, 1, 255, "an address", number);
        options.slave = static_cast<uint8_t>(number);
    } else if (option == "--baud") {
        // The library's own rule, so that a rate refused here would be refused by every device.
        error = ParseRange(option, value, kMinLineBaud, kMaxLineBaud, "a baud rate", number);
        options.baud = number;
    } else if (option == "--timeout") {
        error = ParseRange(option, value, 0, kMaxTimeout, "a time in milliseconds", number);
        options.timeout = number;
        options.timeoutGiven = true;
    } else if (option == "--trace-file") {
        if (value.empty()) return "--trace-file: the file name is empty";
        options.traceFile = value;
    }
    return error;
}

bool TakesValue(const std::string& option) {
    return option == "--port" || option == "--device" || option == "--slave" ||
           option == "--baud" || option == "--timeout" || option == "--trace-file";
}

// Tells about device texts that the library skips or cannot open, before the port is opened.
void WarnAboutDeviceTexts() {
    for (const std::string& entry : MalformedPortMappings()) {
        std::fprintf(stderr,
                     "kelcmd: warning: KELCMD_PORTS entry '%s' is ignored: entries are "
                     "NAME=DEVICE, separated by commas (so a simulated device there takes one "
                     "option; --device takes more)\n",
                     entry.c_str());
    }
}

}  // namespace

// Global options may stand before or after the command word (`kelcmd scan --device sim:1-3`);
// other words after it, options of the command and negative numbers included, are the command's.
// "--" ends the options.
std::string ParseOptions(int argc, char** argv, Options& options) {
    bool portGiven = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        const bool commandSeen = !options.arguments.empty();
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            options.arguments.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "-h" || word == "--help") {
            options.help = true;
            return {};
        }
        if (word == "--version") {
            options.version = true;
            return {};
        }
        if (word == "--trace") {
            options.trace = true;
            continue;
        }
        // "--slave=3" as well as "--slave 3".
        std::optional<std::string> value;
        const size_t equals = word.find('=');
        const std::string option = word.substr(0, equals);
        if (equals != std::string::npos) value = word.substr(equals + 1);
        if (!TakesValue(option)) {
            if (commandSeen) {
                options.arguments.push_back(word);
                continue;
            }
            return "unknown option '" + option + "'";
        }
        if (!value) {
            if (i + 1 >= argc) return "option " + option + " needs a value";
            value = argv[++i];
        }
        if (std::string error = SetValueOption(option, *value, options); !error.empty()) {
            return error;
        }
        if (option == "--port") portGiven = true;
    }
    // Unit commands go only to ports named Com1 to Com99: a device path given as the port is the
    // device of the default port instead.
    if (portGiven && options.device.empty() && options.port.front() == '/' &&
        !HasPortMapping(options.port)) {
        options.device = options.port;
        options.port = Options{}.port;
    }
    if (options.device.empty() && !portGiven && !HasPortMapping(options.port)) {
        options.device = kDefaultDevice;
    }
    return {};
}

Session::Session(const Options& options) : options_(options) {}

Session::~Session() {
    if (open_) KEB_CloseKelBusPort(options_.port.c_str());
}

bool Session::Open() {
    if (!options_.traceFile.empty()) {
        traceFile_.reset(std::fopen(options_.traceFile.c_str(), "w"));
        if (!traceFile_) {
            std::fprintf(stderr, "kelcmd: cannot write the trace file %s: %s\n",
                         options_.traceFile.c_str(), std::strerror(errno));
            return false;
        }
    }
    WarnAboutDeviceTexts();
    if (!options_.device.empty()) KEB_MapPort(options_.port.c_str(), options_.device.c_str());
    device_ = ResolvePortDevice(options_.port).value_or("");
    const uint8_t result =
        KEB_InitKelBus(options_.baud, options_.port.c_str(), KEB_RTS_CONTROL, options_.timeout, 4);
    if (result != RESULT_OK) {
        const std::string problem = sim::SimOptionsProblem(device_);
        std::fprintf(
            stderr, "kelcmd: %s\n",
            problem.empty()
                ? OpenFailureText(options_.port, result).c_str()
                : ("cannot open " + options_.port + " (" + device_ + "): " + problem).c_str());
        return false;
    }
    open_ = true;
    const OpenPortText opened = DescribeOpenPort(options_.port);
    if (!opened.warning.empty()) {
        std::fprintf(stderr, "kelcmd: warning: %s\n", opened.warning.c_str());
    }
    if (!opened.notes.empty()) std::fprintf(stderr, "kelcmd: note: %s\n", opened.notes.c_str());
    SelectSlave(options_.slave);
    if (options_.trace || traceFile_) {
        trace_ = std::make_unique<FrameTrace>(options_.port, options_.trace ? stdout : nullptr,
                                              traceFile_.get());
    }
    return true;
}

}  // namespace kelcmd::app
