#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelcmd {

// One unit that answered a bus scan. A unit that answers but refuses ReadVersion (or whose
// answer was damaged) is there all the same: `versionsRead` is false and `result` says why.
struct ScannedUnit {
    uint8_t address = 0;
    bool versionsRead = false;
    uint8_t result = 0;  // the communication result code when the versions were not read
    // The six words of ReadVersion.
    uint16_t cmdVer = 0;
    uint16_t libVer = 0;
    uint16_t hardRev = 0;
    uint16_t bootVer = 0;
    uint16_t appNb = 0;
    uint16_t appVer = 0;
};

struct BusScanResult {
    std::vector<ScannedUnit> units;  // in address order
    // 0 when every address was asked; otherwise why the scan stopped: a port failure (128 to 135),
    // or NO_COMMAND (255) when nothing could be sent (the port is not open, or the calling thread
    // is collecting commands for a batch on it).
    uint8_t failure = 0;
    bool cancelled = false;  // the progress callback asked to stop
};

// Called before each address is asked, with the units found so far; false stops the scan.
using ScanProgress = std::function<bool(uint8_t address, size_t found)>;

// Asks every unit address from `firstAddress` to `lastAddress` (clamped to 1 to 127; group
// addresses never answer) for its versions with ReadVersion of the system parameter family,
// waiting `timeoutMs` for each answer, on an open port. Each address is first probed with one
// transmission of the request: an address that does not acknowledge it counts as empty and costs
// one acknowledge wait (the port's timeout, so a quick scan opens the port with a short one); the
// error callback and the observers hear only of the ReadVersion commands sent to the units that
// acknowledged.
BusScanResult ScanBus(const std::string& portName, uint8_t firstAddress, uint8_t lastAddress,
                      uint32_t timeoutMs, const ScanProgress& progress = {});

// "command set V 1.71, library V 1.60, hardware Rev. 1.0A Var. B, boot V 1.2, application 3
// V 1.05", from the version texts of the system parameter dialogs.
std::string UnitVersionSummary(const ScannedUnit& unit);

}  // namespace kelcmd
