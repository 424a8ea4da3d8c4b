// Reads a batch command file from arbitrary bytes: no crash, no read outside the input, and a
// refused file yields no batch.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "command/command_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<kelcmd::CKelBatchCommand> batch;
    const kelcmd::FileStatus status = kelcmd::LoadBatchBytes(std::span(data, size), batch);
    if ((status == kelcmd::FileStatus::kOk) != (batch != nullptr)) std::abort();
    // A loaded batch stores and loads again.
    if (batch) {
        std::unique_ptr<kelcmd::CKelBatchCommand> again;
        if (kelcmd::LoadBatchBytes(kelcmd::StoreBatchBytes(*batch), again) !=
            kelcmd::FileStatus::kOk) {
            std::abort();
        }
    }
    return 0;
}
