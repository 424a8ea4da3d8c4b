// Reads a customer command set file from arbitrary bytes: no crash, no read outside the input,
// and a refused file yields no set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "command/command_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<kelcmd::CCustomerCommandSet> set;
    const kelcmd::FileStatus status = kelcmd::LoadCustomerSetBytes(std::span(data, size), set);
    if ((status == kelcmd::FileStatus::kOk) != (set != nullptr)) std::abort();
    return 0;
}
