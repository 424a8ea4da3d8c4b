#pragma once

#include "command/command_clipboard.h"

namespace kelcmd::dialogs {

// The system clipboard behind the core's clipboard hook: each named format travels under its own
// MIME type. The clipboard belongs to the GUI thread; a call from any other thread, or without a
// GUI application, touches no Qt object and fails (0, or nothing read). Marshalling to the GUI
// thread instead could deadlock a GUI thread that is waiting for the caller.
class QtCommandClipboard final : public CommandClipboard {
  public:
    int Put(const std::string& format, std::span<const uint8_t> bytes) override;
    std::optional<std::vector<uint8_t>> Get(const std::string& format) override;
};

}  // namespace kelcmd::dialogs
