#pragma once

#include <cstdint>
#include <string>

namespace kelcmd {

// The name of a memory area that CheckCRC verifies: "Firmware", "System-Parameter",
// "User-Parameter 1", "User-Parameter 2"; "" for another number.
std::string MemoryAreaName(uint32_t memArea);
// What the check dialog shows for a result: "OKAY!" or "FAILED!".
std::string CheckCrcResultText(bool verResult);

}  // namespace kelcmd
