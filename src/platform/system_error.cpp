#include "platform/system_error.h"

#include <string.h>

#include <string_view>

namespace kelcmd {
namespace {

thread_local SystemError threadError;

// Marks where a text too long for its field was shortened.
constexpr std::string_view kCutMark = "...";
// A device path cut shorter than this would no longer say which device it was.
constexpr size_t kMinKeptOfDevice = 12;

// strerror_r comes in two shapes: the GNU one returns the text, the XSI one fills the buffer.
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* ErrorTextOf(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}

}  // namespace

std::string SystemErrorText(int number) {
    char buffer[128] = {};
    return ErrorTextOf(::strerror_r(number, buffer, sizeof buffer), buffer);
}

std::string DescribeSystemError(const SystemError& error) {
    if (error.number == 0) return {};
    std::string text = error.operation;
    if (!error.device.empty()) text += (text.empty() ? "" : " ") + error.device;
    return text + ": " + (error.reason.empty() ? SystemErrorText(error.number) : error.reason);
}

std::string DescribeSystemError(const SystemError& error, size_t maxLength) {
    std::string text = DescribeSystemError(error);
    if (text.size() <= maxLength) return text;
    const std::string_view device = error.device;
    size_t uses = 0;
    for (size_t at = text.find(device); !device.empty() && at != std::string::npos;
         at = text.find(device, at + device.size())) {
        ++uses;
    }
    // Each use of the device gives up its share of the excess, and room for the mark.
    const size_t excess = text.size() - maxLength;
    const size_t cut = uses == 0 ? 0 : (excess + uses - 1) / uses + kCutMark.size();
    if (uses > 0 && device.size() >= cut + kMinKeptOfDevice) {
        const size_t kept = device.size() - cut;
        const size_t head = kept / 3;  // the end tells adapters apart: serial number, interface
        const std::string shortened = std::string(device.substr(0, head)) + std::string(kCutMark) +
                                      std::string(device.substr(device.size() - (kept - head)));
        std::string fitted;
        size_t from = 0;
        for (size_t at = text.find(device); at != std::string::npos; at = text.find(device, from)) {
            fitted.append(text, from, at - from).append(shortened);
            from = at + device.size();
        }
        text = fitted.append(text, from, std::string::npos);
        if (text.size() <= maxLength) return text;
    }
    if (maxLength < kCutMark.size()) return text.substr(0, maxLength);
    return text.substr(0, maxLength - kCutMark.size()) + std::string(kCutMark);
}

const SystemError& ThreadSystemError() {
    return threadError;
}

void RecordThreadSystemError(const SystemError& error) {
    threadError = error;
}

void ClearThreadSystemError() {
    threadError = SystemError{};
}

}  // namespace kelcmd
