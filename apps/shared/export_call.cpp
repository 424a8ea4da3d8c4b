#include "export_call.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kelcmd::app::detail {

bool ParseArgument(const std::string& text, int64_t min, int64_t max, int64_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) return false;
    value = parsed;
    return true;
}

bool ParseArgument(const std::string& text, float& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace kelcmd::app::detail
