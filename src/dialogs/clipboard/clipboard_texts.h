#pragma once

#include <string>

namespace kelcmd::dialogs {

// What copying and pasting commands tell the user.
inline constexpr const char* kNoCommandSelected = "No KelCommand selected!";
inline constexpr const char* kCopyFailed = "Failed to copy the command to the clipboard!";
inline constexpr const char* kNoCommandOnClipboard = "No KelBus command on the clipboard!";
inline constexpr const char* kBatchCannotBeStacked = "A batch command cannot be stacked!";
inline std::string NoMatchingCommand(const std::string& name) {
    return "No command '" + name + "' in this tree!";
}

}  // namespace kelcmd::dialogs
