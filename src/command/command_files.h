#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "command/customer_command_sets.h"
#include "command/kel_batch_command.h"
#include "command/structure_definition.h"

namespace kelcmd {

class CBatchCommandStore;

// The files of one batch (".kbc"), one customer command set (".ccs") and one structure
// definition (".usp"). Each starts with its version string, which must match exactly. Reading
// never half-loads: a file that is not whole and well-formed changes nothing.
inline constexpr const char* kBatchFileVersion = "kbcFileVersion_1.00";
inline constexpr const char* kCustomerFileVersion = "ccsFileVersion_1.60";
inline constexpr const char* kStructureFileVersion = "uspFileVersion_1.00";
// Larger files are not files of these formats; refusing them keeps a stray path from filling
// memory.
inline constexpr uint64_t kMaxFileBytes = 64 * 1024 * 1024;

// Reads a whole regular file of at most kMaxFileBytes; false (and `bytes` unspecified) for
// anything else or a read error.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

enum class FileStatus {
    kOk,
    kOpenFailed,  // the file cannot be opened, read or written
    kBadType,     // the name does not end in the format's extension
    kBadVersion,  // another version string
    kMalformed,   // not a well-formed file of the format
    kDuplicate,   // the name is already in the store
};

// The message shown for a status ("" for kOk); `name` fills the duplicate messages.
std::string BatchFileMessage(FileStatus status, const std::string& name, const std::string& path);
std::string CustomerFileMessage(FileStatus status, const std::string& name,
                                const std::string& path);
std::string StructureFileMessage(FileStatus status, const std::string& path);

// The bytes of each file, and their reading.
std::vector<uint8_t> StoreBatchBytes(const CKelBatchCommand& batch);
FileStatus LoadBatchBytes(std::span<const uint8_t> bytes, std::unique_ptr<CKelBatchCommand>& out);
std::vector<uint8_t> StoreCustomerSetBytes(const CCustomerCommandSet& set);
FileStatus LoadCustomerSetBytes(std::span<const uint8_t> bytes,
                                std::unique_ptr<CCustomerCommandSet>& out);
std::vector<uint8_t> StoreStructureBytes(const CStructureDefinition& definition);
FileStatus LoadStructureBytes(std::span<const uint8_t> bytes, CStructureDefinition& out);

// Writing files (overwriting). kOk or kOpenFailed.
FileStatus WriteBatchFile(const std::string& path, const CKelBatchCommand& batch);
FileStatus WriteCustomerSetFile(const std::string& path, const CCustomerCommandSet& set);
FileStatus WriteStructureFile(const std::string& path, const CStructureDefinition& definition);

// Reading a file into a store. A batch whose name the store holds is refused (kDuplicate); the
// store is unchanged on every failure. No message is shown: the caller shows the status's
// message (the batch editor stops at a duplicate, the set editor goes on).
FileStatus ReadBatchFile(const std::string& path, CBatchCommandStore& store,
                         std::string* loadedName = nullptr);
FileStatus ReadCustomerSetFile(const std::string& path, CCustomerCommandSets& sets,
                               std::string* loadedName = nullptr);

// ReadBatchFile that shows the status's message on failure; 1 when the batch was added.
int LoadBatchFromPath(const std::string& path, CBatchCommandStore& store);

// The path-based reading the store uses: the path must end in "ccs" ("Bad Type of File!"), the
// version must match ("File Version is too old!"), the client must be new ("Client '…' is
// already loaded!"). Failures show their message; 1 when the set was added.
int LoadCustomerSetFromPath(const std::string& path, CCustomerCommandSets& sets);

// Loading a structure definition by name: the name must end in "usp" and the file must be a
// structure file ("Bad Type of File!"), with the right version ("File Version is too old!").
// Failures show their message and leave `definition` unchanged; 1 on success.
int LoadStructureFromPath(const std::string& path, CStructureDefinition& definition);

}  // namespace kelcmd
