#include "failure_report.h"

#include <mutex>

#include "kelcmd/kelcmd.h"
#include "system_reason.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

std::mutex failureLock;
std::string lastFailure;

void RememberFailure(uint8_t messageType, uint8_t error, int16_t warning, uint32_t batchFlag) {
    std::string text = ResultTextWithReason(error);
    if (error <= BATCH_FAIL) {
        text = "refused by the unit: " + text;
        if (warning != 0) text += "; " + CommandWarningText(warning);
    }
    if (batchFlag != 0) text += " (batch member with code " + std::to_string(messageType) + ")";
    std::lock_guard<std::mutex> guard(failureLock);
    lastFailure = text;
}

}  // namespace

bool WatchFailures(const std::string& port) {
    return MP_InitKelCommander(port.c_str(), RememberFailure) == 1;
}

std::string TakeFailureText() {
    std::lock_guard<std::mutex> guard(failureLock);
    std::string text;
    text.swap(lastFailure);
    return text;
}

}  // namespace kelcmd::app
