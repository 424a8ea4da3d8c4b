#include "system_reason.h"

#include <optional>
#include <vector>

#include "api/communication.h"
#include "kelcmd/kelcmd.h"
#include "transport/kel_communication.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd::app {

std::string SystemReason() {
    // Room for a reason that names a device path of any length twice (access and holders).
    std::vector<char> text(4 * (kMaxDevicePathLength + 1));
    if (KEB_GetLastSystemError(nullptr, text.data(), static_cast<uint32_t>(text.size())) == 0) {
        return {};
    }
    return text.data();
}

bool IsPortFailure(uint32_t code) {
    return code >= WIN_ERR_OPENCOMM && code <= WIN_ERR_CLOSECOMM;
}

std::string ResultTextWithReason(uint32_t code) {
    std::string text = ResultCodeText(code);
    if (!IsPortFailure(code)) return text;
    const std::string reason = SystemReason();
    if (!reason.empty()) text += " (" + reason + ")";
    return text;
}

std::string OpenFailureText(const std::string& port, uint8_t result) {
    const std::optional<std::string> device = ResolvePortDevice(port);
    std::string text = "cannot open " + port;
    if (device && *device != port) text += " (" + *device + ")";
    std::string reason = SystemReason();
    if (reason.empty()) return text + ": " + ResultCodeText(result);
    // The device is named already; "open DEVICE: " in front of the reason would repeat it.
    const std::string openPrefix = "open " + device.value_or(port) + ": ";
    if (reason.rfind(openPrefix, 0) == 0) reason.erase(0, openPrefix.size());
    return text + ": " + reason;
}

OpenPortText DescribeOpenPort(const std::string& port) {
    const auto found = Communication().FindPort(port);
    if (!found) return {};
    return found->UseLine([](const CSerialLine& line) {
        return OpenPortText{line.GetDescription(), line.GetDeviceNotes(), line.GetOpenWarning()};
    });
}

}  // namespace kelcmd::app
