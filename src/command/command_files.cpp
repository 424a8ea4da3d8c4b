#include "command/command_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/archive.h"
#include "command/batch_command_store.h"
#include "command/command_classes.h"
#include "platform/prompt.h"

namespace kelcmd {

namespace {

constexpr const char* kMalformedText = "Unexpected file format.";

FileStatus WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return FileStatus::kOpenFailed;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return file ? FileStatus::kOk : FileStatus::kOpenFailed;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Reads the version string; a failed read counts as another version.
bool VersionMatches(CArchive& archive, const char* version) {
    const std::string stored = archive.ReadString();
    return !archive.Failed() && stored == version;
}

std::string CommonMessage(FileStatus status, const std::string& path) {
    switch (status) {
        case FileStatus::kOpenFailed:
            return "Cannot open the file '" + path + "'!";
        case FileStatus::kBadType:
            return "Bad Type of File!";
        case FileStatus::kBadVersion:
            return "File Version is too old!";
        case FileStatus::kMalformed:
            return kMalformedText;
        default:
            return "";
    }
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    // A folder, a device or a pipe is no file of ours: reading one could fail late, block, or
    // never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), size));
}

std::string BatchFileMessage(FileStatus status, const std::string& name, const std::string& path) {
    if (status == FileStatus::kDuplicate) return "BatchCommand '" + name + "' is already loaded!";
    return CommonMessage(status, path);
}

std::string CustomerFileMessage(FileStatus status, const std::string& name,
                                const std::string& path) {
    if (status == FileStatus::kDuplicate) return "Client '" + name + "' is already loaded!";
    return CommonMessage(status, path);
}

std::string StructureFileMessage(FileStatus status, const std::string& path) {
    // A file that is no structure stream is reported as a file of the wrong type.
    if (status == FileStatus::kMalformed) return "Bad Type of File!";
    return CommonMessage(status, path);
}

// ---- ".kbc": version, then the batch's own archive form (no class tag before it).

std::vector<uint8_t> StoreBatchBytes(const CKelBatchCommand& batch) {
    CArchive archive;
    archive.WriteString(kBatchFileVersion);
    const_cast<CKelBatchCommand&>(batch).Serialize(archive);  // storing leaves it unchanged
    return archive.TakeData();
}

FileStatus LoadBatchBytes(std::span<const uint8_t> bytes, std::unique_ptr<CKelBatchCommand>& out) {
    RegisterCommandClasses();  // the members are read by class name, also outside the manager
    CArchive archive(bytes);
    if (!VersionMatches(archive, kBatchFileVersion)) return FileStatus::kBadVersion;
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->Serialize(archive);
    if (archive.Failed()) return FileStatus::kMalformed;
    out = std::move(batch);
    return FileStatus::kOk;
}

FileStatus WriteBatchFile(const std::string& path, const CKelBatchCommand& batch) {
    return WriteWholeFile(path, StoreBatchBytes(batch));
}

FileStatus ReadBatchFile(const std::string& path, CBatchCommandStore& store,
                         std::string* loadedName) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) return FileStatus::kOpenFailed;
    std::unique_ptr<CKelBatchCommand> batch;
    const FileStatus status = LoadBatchBytes(bytes, batch);
    if (status != FileStatus::kOk) return status;
    if (loadedName != nullptr) *loadedName = batch->GetName();
    return store.Add(batch) ? FileStatus::kOk : FileStatus::kDuplicate;
}

int LoadBatchFromPath(const std::string& path, CBatchCommandStore& store) {
    std::string name;
    const FileStatus status = ReadBatchFile(path, store, &name);
    if (status == FileStatus::kOk) return 1;
    CurrentPrompt().ShowMessage(BatchFileMessage(status, name, path));
    return 0;
}

// ---- ".ccs": version, client name, command count, each command's own archive form.

std::vector<uint8_t> StoreCustomerSetBytes(const CCustomerCommandSet& set) {
    CArchive archive;
    archive.WriteString(kCustomerFileVersion);
    archive.WriteString(set.GetClientName());
    archive.WriteU32(static_cast<uint32_t>(set.GetCommands().size()));
    for (const auto& command : set.GetCommands()) command->Serialize(archive);
    return archive.TakeData();
}

FileStatus LoadCustomerSetBytes(std::span<const uint8_t> bytes,
                                std::unique_ptr<CCustomerCommandSet>& out) {
    // The smallest stored command: its base fields with two empty frames and lists.
    constexpr size_t kMinCommandBytes = 2 * 1032;
    CArchive archive(bytes);
    if (!VersionMatches(archive, kCustomerFileVersion)) return FileStatus::kBadVersion;
    auto set = std::make_unique<CCustomerCommandSet>(archive.ReadString());
    const uint32_t count = archive.ReadU32();
    if (archive.Failed() || count > archive.Remaining() / kMinCommandBytes) {
        return FileStatus::kMalformed;
    }
    for (uint32_t i = 0; i < count; ++i) {
        auto command = std::make_unique<CKelCustomerCommand>();
        command->Serialize(archive);
        if (archive.Failed()) return FileStatus::kMalformed;
        set->AddCommand(std::move(command));
    }
    out = std::move(set);
    return FileStatus::kOk;
}

FileStatus WriteCustomerSetFile(const std::string& path, const CCustomerCommandSet& set) {
    return WriteWholeFile(path, StoreCustomerSetBytes(set));
}

FileStatus ReadCustomerSetFile(const std::string& path, CCustomerCommandSets& sets,
                               std::string* loadedName) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) return FileStatus::kOpenFailed;
    std::unique_ptr<CCustomerCommandSet> set;
    const FileStatus status = LoadCustomerSetBytes(bytes, set);
    if (status != FileStatus::kOk) return status;
    if (loadedName != nullptr) *loadedName = set->GetClientName();
    return sets.Add(set) ? FileStatus::kOk : FileStatus::kDuplicate;
}

int LoadCustomerSetFromPath(const std::string& path, CCustomerCommandSets& sets) {
    FileStatus status = FileStatus::kBadType;
    std::string name;
    if (EndsWith(path, "ccs")) status = ReadCustomerSetFile(path, sets, &name);
    if (status == FileStatus::kOk) return 1;
    CurrentPrompt().ShowMessage(CustomerFileMessage(status, name, path));
    return 0;
}

// ---- ".usp": version, then the structure description stream.

std::vector<uint8_t> StoreStructureBytes(const CStructureDefinition& definition) {
    CArchive archive;
    archive.WriteString(kStructureFileVersion);
    definition.WriteStream(archive);
    return archive.TakeData();
}

FileStatus LoadStructureBytes(std::span<const uint8_t> bytes, CStructureDefinition& out) {
    CArchive archive(bytes);
    if (!VersionMatches(archive, kStructureFileVersion)) return FileStatus::kBadVersion;
    CStructureDefinition loaded;
    if (!loaded.ReadStream(archive) || archive.Failed()) return FileStatus::kMalformed;
    out = std::move(loaded);
    return FileStatus::kOk;
}

FileStatus WriteStructureFile(const std::string& path, const CStructureDefinition& definition) {
    return WriteWholeFile(path, StoreStructureBytes(definition));
}

int LoadStructureFromPath(const std::string& path, CStructureDefinition& definition) {
    FileStatus status = FileStatus::kBadType;
    if (EndsWith(path, "usp")) {
        std::vector<uint8_t> bytes;
        status = ReadFileBytes(path, bytes) ? LoadStructureBytes(bytes, definition)
                                            : FileStatus::kOpenFailed;
    }
    if (status == FileStatus::kOk) return 1;
    CurrentPrompt().ShowMessage(StructureFileMessage(status, path));
    return 0;
}

}  // namespace kelcmd
