// Reads a data structure file from arbitrary bytes: no crash, and a refused file leaves the
// definition as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "command/command_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const kelcmd::CStructureDefinition before("Before", {{"x", kelcmd::ELEMENT_WORD, 2}});
    kelcmd::CStructureDefinition definition = before;
    if (kelcmd::LoadStructureBytes(std::span(data, size), definition) != kelcmd::FileStatus::kOk &&
        !(definition == before)) {
        std::abort();
    }
    return 0;
}
