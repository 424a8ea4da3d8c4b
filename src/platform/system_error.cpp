#include "platform/system_error.h"

#include <string.h>

namespace kelcmd {
namespace {

thread_local SystemError threadError;

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
