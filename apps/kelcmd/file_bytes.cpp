#include "file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kelcmd::app {

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "kelcmd: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (file.bad()) {
        std::fprintf(stderr, "kelcmd: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    return bytes;
}

}  // namespace kelcmd::app
