#include "api/user_parameter_texts.h"

namespace kelcmd {

std::string MemoryAreaName(uint32_t memArea) {
    static const char* const kNames[] = {"Firmware", "System-Parameter", "User-Parameter 1",
                                         "User-Parameter 2"};
    return memArea < 4 ? kNames[memArea] : "";
}

std::string CheckCrcResultText(bool verResult) {
    return verResult ? "OKAY!" : "FAILED!";
}

}  // namespace kelcmd
