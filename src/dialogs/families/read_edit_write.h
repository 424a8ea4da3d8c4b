#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelcmd {
class CCommandFamily;
}

namespace kelcmd::dialogs {

// A read command whose answer fills a write command's dialog: the return parameters named first
// in each pair feed the send parameters named second.
struct ReadEditWrite {
    std::string read;
    std::string write;
    std::vector<std::pair<std::string, std::string>> feeds;
    std::string readFailed;
    std::string writeFailed;
};

// Reads on the port and slave (asked for when missing; a failed read shows `readFailed`: 0),
// opens the write command's input dialog with the values read (Cancel: 0, nothing written), and
// writes what was confirmed (failure: `writeFailed`, 0). 1 when written. The write command's
// prototype keeps the values entered.
int RunReadEditWrite(CCommandFamily& family, const ReadEditWrite& steps, const char* port,
                     uint8_t slave);

}  // namespace kelcmd::dialogs
