#include "scan_command.h"

#include <unistd.h>

#include <cstdio>

#include "api/bus_scan.h"
#include "hex.h"
#include "system_reason.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

constexpr const char* kUsage = "usage: kelcmd scan [FIRST-LAST]   (unit addresses 1 to 127)\n";
constexpr uint32_t kLastUnit = 127;

std::optional<uint8_t> UnitAddress(const std::string& text) {
    const auto number = ParseNumber(text, kLastUnit);
    if (!number || *number == 0) return std::nullopt;
    return static_cast<uint8_t>(*number);
}

}  // namespace

std::optional<ScanRange> ParseScanArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() > 2) {
        std::fprintf(stderr, "kelcmd: scan: extra argument '%s'\n%s", arguments[2].c_str(), kUsage);
        return std::nullopt;
    }
    ScanRange range;
    if (arguments.size() < 2) return range;
    const std::string& text = arguments[1];
    const size_t dash = text.find('-');
    const auto first = UnitAddress(text.substr(0, dash));
    const auto last = dash == std::string::npos ? first : UnitAddress(text.substr(dash + 1));
    if (!first || !last || *first > *last) {
        std::fprintf(stderr,
                     "kelcmd: scan: '%s' is not a unit address or range FIRST-LAST of unit "
                     "addresses from 1 to 127\n%s",
                     text.c_str(), kUsage);
        return std::nullopt;
    }
    range.first = *first;
    range.last = *last;
    return range;
}

int RunScan(Session& session, const ScanRange& range) {
    const Options& options = session.options();
    std::printf("scanning %s (%s), addresses %u to %u, %u ms per address\n", options.port.c_str(),
                session.device().c_str(), range.first, range.last, options.timeout);
    std::fflush(stdout);
    // Progress only for a person watching: a pipe or a file gets the results alone.
    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    const auto progress = [&](uint8_t address, size_t found) {
        if (terminal) {
            std::printf("\rasking address %u of %u-%u, %zu found ", address, range.first,
                        range.last, found);
            std::fflush(stdout);
        }
        return true;
    };
    const BusScanResult result =
        ScanBus(options.port, range.first, range.last, options.timeout, progress);
    if (terminal) std::printf("\r\033[K");

    for (const ScannedUnit& unit : result.units) {
        if (unit.versionsRead) {
            std::printf("unit %3u: %s\n", unit.address, UnitVersionSummary(unit).c_str());
        } else {
            std::printf("unit %3u: answers, but not with its versions: %s\n", unit.address,
                        ResultCodeText(unit.result).c_str());
        }
    }
    if (result.failure != RESULT_OK) {
        std::fprintf(stderr, "kelcmd: the scan stopped: %s\n",
                     result.failure == NO_COMMAND ? "the port is not open"
                                                  : ResultTextWithReason(result.failure).c_str());
        return 1;
    }
    if (result.units.empty()) {
        std::fprintf(stderr, "kelcmd: no unit answers at addresses %u to %u\n", range.first,
                     range.last);
        return 1;
    }
    std::printf("%zu unit%s answer%s\n", result.units.size(), result.units.size() == 1 ? "" : "s",
                result.units.size() == 1 ? "s" : "");
    return 0;
}

}  // namespace kelcmd::app
