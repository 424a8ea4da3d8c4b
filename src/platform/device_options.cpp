#include "platform/device_options.h"

#include <string_view>

namespace kelcmd {
namespace {

// Applies one "name=value" option; false when it is not one of the known ones.
bool Apply(std::string_view option, DeviceOptions& options) {
    if (option == "rts=high") {
        options.rtsActiveLow = false;
    } else if (option == "rts=low") {
        options.rtsActiveLow = true;
    } else if (option == "lines=keep") {
        options.keepModemLines = true;
    } else if (option == "echo=discard") {
        options.discardEcho = true;
    } else if (option == "rs485=kernel") {
        options.kernelRs485 = true;
    } else if (option == "ninth=oddeven") {
        options.ninthBit = NinthBitChoice::kOddEven;
    } else if (option == "ninth=markspace") {
        options.ninthBit = NinthBitChoice::kMarkSpace;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool IsDeviceOption(std::string_view option) {
    const std::string_view name = option.substr(0, option.find('='));
    if (name.size() == option.size()) return false;
    for (std::string_view known : {"rts", "lines", "echo", "rs485", "ninth"}) {
        if (name == known) return true;
    }
    return false;
}

std::optional<DeviceText> ParseDeviceText(const std::string& text, std::string& error) {
    DeviceText result;
    const size_t mark = text.find('?');
    result.path = text.substr(0, mark);
    if (mark == std::string::npos) return result;
    std::string_view rest = std::string_view(text).substr(mark + 1);
    while (true) {
        const size_t comma = rest.find(',');
        const std::string_view option = rest.substr(0, comma);
        if (!Apply(option, result.options)) {
            error = "unknown device option '" + std::string(option) + "'";
            return std::nullopt;
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (result.options.kernelRs485 && result.options.keepModemLines) {
        error = "device options rs485=kernel and lines=keep exclude each other";
        return std::nullopt;
    }
    return result;
}

}  // namespace kelcmd
