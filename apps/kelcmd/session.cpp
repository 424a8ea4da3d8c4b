#include "api/communication.h"
#include "session.h"

#include <cstdio>

#include "failure_report.h"
#include "hex.h"
#include "kelcmd/kelcmd.h"
#include "system_reason.h"
#include "transport/kel_communication.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

// Without a device on the command line or in KELCMD_PORTS the program talks to simulated units.
constexpr const char* kDefaultDevice = "sim:1-3";

}  // namespace

std::string ParseOptions(int argc, char** argv, Options& options) {
    bool portGiven = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) != 0) break;
        if (word == "--help") {
            options.arguments.assign(1, "help");
            return {};
        }
        if (word == "--trace") {
            options.trace = true;
            continue;
        }
        if (i + 1 >= argc) return "option " + word + " needs a value";
        const std::string value = argv[++i];
        if (word == "--port") {
            options.port = value;
            portGiven = true;
        } else if (word == "--device") {
            options.device = value;
        } else if (word == "--slave") {
            const auto slave = ParseNumber(value, 255);
            if (!slave || *slave == 0) return "--slave takes an address from 1 to 255";
            options.slave = static_cast<uint8_t>(*slave);
        } else if (word == "--baud") {
            const auto baud = ParseNumber(value, 4000000);
            if (!baud || *baud == 0) return "--baud takes a baud rate";
            options.baud = *baud;
        } else if (word == "--timeout") {
            const auto timeout = ParseNumber(value, 600000);
            if (!timeout) return "--timeout takes milliseconds";
            options.timeout = *timeout;
        } else {
            return "unknown option " + word;
        }
    }
    for (; i < argc; ++i) options.arguments.emplace_back(argv[i]);
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
    if (!options_.device.empty()) KEB_MapPort(options_.port.c_str(), options_.device.c_str());
    const uint8_t result =
        KEB_InitKelBus(options_.baud, options_.port.c_str(), KEB_RTS_CONTROL, options_.timeout, 4);
    if (result != RESULT_OK) {
        std::fprintf(stderr, "kelcmd: %s\n", OpenFailureText(options_.port, result).c_str());
        return false;
    }
    open_ = true;
    SelectSlave(options_.slave);
    WatchFailures(options_.port);
    if (options_.trace) {
        trace_ = std::make_unique<FrameTrace>(stdout);
        Communication().RegisterObserver(trace_.get());
    }
    return true;
}

}  // namespace kelcmd::app
