#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelcmd::app {

// The whole file; nothing (after printing why) when it is no regular file, is larger than the
// library reads (kMaxFileBytes), or cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path);

// Why `path` cannot be read as a file ("is a directory", "is not a regular file", "No such file
// or directory"), or "" when it is a regular file.
std::string NotARegularFile(const std::string& path);

}  // namespace kelcmd::app
