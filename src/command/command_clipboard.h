#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelcmd {

class CCommand;
class CKelCommand;
class CKelCommunication;

// The named formats under which commands travel on the clipboard and in drag and drop.
inline constexpr const char* kStandardCommandFormat = "KelStandardCommand";
inline constexpr const char* kCustomerCommandFormat = "KelCustomerCommand";
inline constexpr const char* kBatchCommandFormat = "KelBatchCommand";
inline constexpr const char* kCommandFormats[] = {kStandardCommandFormat, kCustomerCommandFormat,
                                                  kBatchCommandFormat};

// The system clipboard. The core has no toolkit: the dialogs library installs its implementation
// when it loads; without one nothing can be copied or pasted.
class CommandClipboard {
  public:
    virtual ~CommandClipboard() = default;
    // Replaces the clipboard's content by `bytes` under the named format: 1, or 0 when the
    // clipboard cannot be written (from this thread, for instance).
    virtual int Put(const std::string& format, std::span<const uint8_t> bytes) = 0;
    // The bytes held under the named format, or nothing.
    virtual std::optional<std::vector<uint8_t>> Get(const std::string& format) = 0;
};

// The installed clipboard, or null. Installing replaces the previous one and returns it once no
// copy or paste runs in it; null uninstalls. Safe from any thread (see platform/hook.h).
std::shared_ptr<CommandClipboard> InstalledCommandClipboard();
std::shared_ptr<CommandClipboard> InstallCommandClipboard(std::shared_ptr<CommandClipboard> board);

// The format of a command's class, or null for a class that does not travel on the clipboard.
const char* ClipboardFormatOf(const CCommand& command);

// The clipboard bytes of a command: one class-tagged object (class name, schema, then the
// command's archive form). Empty when the command cannot be written.
std::vector<uint8_t> ClipboardBytes(const CCommand& command);

// Puts the command on the installed clipboard under its format: 1, or 0 when there is no
// clipboard, the class has no format, or writing fails.
int PutCommandOnClipboard(const CCommand& command);

// Reads bytes found under `format` back into a command: exactly one class-tagged object of the
// format's class and nothing after it. Null for anything else (malformed or truncated bytes, an
// unknown class, a class that is not the format's). With a manager the command is given to its
// owner through AttachCommand (a standard command that no family adopts stays without owner).
std::unique_ptr<CKelCommand> CommandFromClipboardBytes(std::string_view format,
                                                       std::span<const uint8_t> bytes,
                                                       CKelCommunication* manager);

// The command on the installed clipboard under the first of the three formats present, read back
// as above. Null when there is no clipboard, no command on it, or its bytes are bad.
std::unique_ptr<CKelCommand> PasteCommand(CKelCommunication* manager);

}  // namespace kelcmd
