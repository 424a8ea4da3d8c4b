#include "api/export_guard.h"

#include <new>
#include <string>

#include "command/command_family.h"
#include "transport/kel_communication.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

thread_local bool faultArmed = false;

}  // namespace

void ThrowArmedExportFault() {
    if (!faultArmed) return;
    faultArmed = false;
    throw std::bad_alloc();
}

void SetExportFaultForTesting(bool armed) {
    faultArmed = armed;
}

void ReportInternalFailure(const CCommandFamily& family, const char* port,
                           std::string_view command) noexcept {
    try {
        RecordInternalErrorOutcome();
        CKelCommunication* ports = family.GetPorts();
        const std::shared_ptr<CKelPort> found =
            ports != nullptr && port != nullptr ? ports->FindPort(port) : nullptr;
        if (found == nullptr) return;
        const KelErrorCallback callback = found->GetErrorCallback();
        if (callback == nullptr) return;
        const CKelStandardCommand* prototype = family.GetPrototype(command);
        callback(prototype != nullptr ? prototype->GetCode() : 0, NO_COMMAND, 0, 0);
    } catch (...) {
        // The caller's 0 still tells of the failure.
    }
}

}  // namespace kelcmd
