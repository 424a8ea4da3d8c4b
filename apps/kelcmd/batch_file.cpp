#include "batch_file.h"

#include <cstdio>

#include "command/command_files.h"
#include "file_bytes.h"
#include "file_version.h"
#include "quiet_prompt.h"

namespace kelcmd::app {

std::unique_ptr<CKelBatchCommand> LoadBatchFile(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return nullptr;
    QuietPrompt quiet;
    std::unique_ptr<CKelBatchCommand> batch;
    const FileStatus status = LoadBatchBytes(*bytes, batch);
    if (status != FileStatus::kOk || !batch) {
        const std::string why = status == FileStatus::kBadVersion
                                    ? VersionProblem(*bytes, kBatchFileVersion)
                                    : BatchFileMessage(status, "", path);
        std::fprintf(stderr, "kelcmd: %s is not a batch file: %s\n", path.c_str(), why.c_str());
        return nullptr;
    }
    return batch;
}

const char* BatchTypeName(uint32_t type) {
    switch (type) {
        case BATCH_NORMAL:
            return "Batch";
        case BATCH_QUIET_SEND:
            return "QuietBatch_Send";
        case BATCH_QUIET_READ:
            return "QuietBatch_Read";
        default:
            return "unknown";
    }
}

void PrintMemberLine(size_t index, const CKelCommand& member, const char* status) {
    std::printf("%2zu  %s%s%s (%s, code 0x%02X)\n", index + 1, status ? status : "",
                status ? "  " : "", member.GetName().c_str(), member.GetRuntimeClass()->className,
                member.GetCode());
}

}  // namespace kelcmd::app
