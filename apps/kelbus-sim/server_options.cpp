#include "server_options.h"

#include <charconv>

#include "sim/sim_options.h"

namespace kelcmd::simserver {
namespace {

// The bus of this program in the process's registry of simulated buses.
constexpr const char* kBusName = "kelbus-sim";

// Only addresses, so that "--units 1,paced" cannot slip an option into the device text.
bool IsAddressList(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if ((c < '0' || c > '9') && c != '-' && c != ',') return false;
    }
    return sim::ParseSimOptions("sim:" + text).has_value();
}

// A whole number without sign.
std::optional<uint32_t> ParseNumber(const std::string& text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string ParseServerOptions(int argc, char** argv, ServerOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            options.help = true;
            return {};
        }
        if (word == "--paced") {
            options.paced = true;
            continue;
        }
        if (word == "--trace") {
            options.trace = true;
            continue;
        }
        if (word.rfind("--", 0) != 0) return "unexpected argument " + word;
        if (i + 1 >= argc) return "option " + word + " needs a value";
        const std::string value = argv[++i];
        if (word == "--units") {
            if (!IsAddressList(value)) {
                return "--units takes unit addresses from 1 to 127, e.g. 1-3,7";
            }
            options.units = value;
        } else if (word == "--link") {
            if (value.empty()) return "--link needs a path";
            options.link = value;
        } else if (word == "--speed") {
            const auto parsed = sim::ParseSimOptions("sim:speed=" + value);
            if (!parsed || !parsed->speed) return "--speed takes a number above 0, e.g. 10";
            options.speed = parsed->speed;
        } else if (word == "--fault") {
            std::string error;
            auto fault = ParseFaultRate(value, error);
            if (!fault) return error;
            options.faults.push_back(*fault);
        } else if (word == "--seed") {
            const auto seed = ParseNumber(value);
            if (!seed) return "--seed takes a number";
            options.seed = *seed;
        } else if (word == "--latency-timer") {
            const auto milliseconds = ParseNumber(value);
            if (!milliseconds || *milliseconds < 1 || *milliseconds > 255) {
                return "--latency-timer takes milliseconds from 1 to 255, e.g. 16";
            }
            options.latencyTimerMs = *milliseconds;
        } else {
            return "unknown option " + word;
        }
    }
    return {};
}

std::string SimulatedDevice(const ServerOptions& options) {
    return "sim:" + options.units + ",bus=" + kBusName;
}

std::string UsageText() {
    return "usage: kelbus-sim [--units LIST] [--link PATH] [--speed F] [--paced]\n"
           "                  [--fault KIND:RATE[:PARAMETER]]... [--seed N] [--trace]\n"
           "                  [--latency-timer MS]\n"
           "\n"
           "Serves simulated KelBus units on a pseudo-terminal and prints the path of its\n"
           "slave, which any program opens as its serial port. Stops on SIGINT or SIGTERM.\n"
           "\n"
           "  --units LIST   unit addresses, ranges and single numbers (default 1), e.g. 1-3,7\n"
           "  --link PATH    also make PATH a symbolic link to the slave (removed on exit)\n"
           "  --speed F      simulated time runs F times faster than real time (default 1)\n"
           "  --paced        bytes take their time at the baud rate the host program sets\n"
           "  --fault KIND:RATE[:PARAMETER]\n"
           "                 the share RATE (0 to 1) of the frames to a unit meets fault KIND;\n"
           "                 may be given several times\n"
           "  --seed N       seed of the fault choices (default 1)\n"
           "  --trace        print every request frame, reply and stray byte\n"
           "  --latency-timer MS\n"
           "                 hold the units' bytes back as a USB adapter does: they reach the\n"
           "                 program in packets, at most every MS ms (an FTDI's default is 16)\n"
           "\n"
           "fault kinds:\n" +
           FaultKindsHelp();
}

}  // namespace kelcmd::simserver
