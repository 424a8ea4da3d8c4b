#include "file_version.h"

#include <optional>
#include <regex>
#include <string>
#include <string_view>

#include "api/recorded_data_file.h"
#include "command/command_files.h"

namespace kelcmd::app {
namespace {

struct KnownFormat {
    std::string_view version;
    const char* name;
};

constexpr KnownFormat kFormats[] = {
    {kBatchFileVersion, "a batch file"},
    {kCustomerFileVersion, "a customer command set file"},
    {kStructureFileVersion, "a structure definition file"},
    {kRecordedDataFileVersion, "a recorded data file"},
};

// The archive string at the start of the file, when it has a one-byte length prefix (the
// version texts are short) and fits the file.
std::optional<std::string> LeadingString(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes[0] == 0 || bytes[0] == 0xFF || bytes.size() < 1u + bytes[0]) {
        return std::nullopt;
    }
    return std::string(bytes.begin() + 1, bytes.begin() + 1 + bytes[0]);
}

// "kbcFileVersion_1.00", "xyzVersion_2", "rdaFileVersion_1.7x": printable text that names a
// version. Any such text other than the expected one, in any character or in its length, is a
// version the library does not read.
bool LooksLikeVersion(const std::string& text) {
    static const std::regex pattern("[ -~]*Version[ -~]*");
    return std::regex_match(text, pattern);
}

}  // namespace

std::string VersionProblem(std::span<const uint8_t> bytes, const std::string& expectedVersion) {
    if (bytes.empty()) return "empty file";
    const std::optional<std::string> leading = LeadingString(bytes);
    if (!leading || !LooksLikeVersion(*leading)) return "it does not start with a version text";
    for (const KnownFormat& format : kFormats) {
        if (*leading == format.version && format.version != expectedVersion) {
            return std::string("it is ") + format.name + " (" + *leading + ")";
        }
    }
    return std::string(kFileVersionTooOld) + " (" + *leading + ")";
}

}  // namespace kelcmd::app
