#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// The acknowledge and answer wait of a scan unless --timeout says otherwise: a unit answers within
// a few milliseconds, and most addresses of a bus are empty, but a USB adapter holds received
// bytes back for up to its latency timer (16 ms unless lowered), so the acknowledge may come
// that much later.
constexpr uint32_t kScanTimeoutMs = 40;

struct ScanRange {
    uint8_t first = 1;
    uint8_t last = 127;
};

// `scan [FIRST-LAST]` or `scan ADDRESS`; nothing, after printing why, for anything else.
std::optional<ScanRange> ParseScanArguments(const std::vector<std::string>& arguments);

// Asks every address of the range for its versions and lists the units that answer, with a
// progress line while it runs when standard output is a terminal. 1 when no unit answers or the
// port fails.
int RunScan(Session& session, const ScanRange& range);

}  // namespace kelcmd::app
