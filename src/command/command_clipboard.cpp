#include "command/command_clipboard.h"

#include "archive/object_io.h"
#include "command/command_classes.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"
#include "platform/hook.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

// Never destroyed: the dialogs library may take its clipboard out at exit.
Hook<CommandClipboard>& ClipboardHook() {
    static Hook<CommandClipboard>* const hook = new Hook<CommandClipboard>();
    return *hook;
}

const CRuntimeClass* ClassOfFormat(std::string_view format) {
    if (format == kStandardCommandFormat) return CKelStandardCommand::StaticClass();
    if (format == kCustomerCommandFormat) return CKelCustomerCommand::StaticClass();
    if (format == kBatchCommandFormat) return CKelBatchCommand::StaticClass();
    return nullptr;
}

}  // namespace

std::shared_ptr<CommandClipboard> InstalledCommandClipboard() {
    return ClipboardHook().Current();
}

std::shared_ptr<CommandClipboard> InstallCommandClipboard(std::shared_ptr<CommandClipboard> board) {
    return ClipboardHook().Install(std::move(board));
}

const char* ClipboardFormatOf(const CCommand& command) {
    // Exact classes: a class derived from one of these would be read back as its base.
    const CRuntimeClass* runtimeClass = command.GetRuntimeClass();
    for (const char* format : kCommandFormats) {
        if (ClassOfFormat(format) == runtimeClass) return format;
    }
    return nullptr;
}

std::vector<uint8_t> ClipboardBytes(const CCommand& command) {
    CArchive archive;
    WriteObject(archive, &command);
    if (archive.Failed()) return {};
    return archive.TakeData();
}

int PutCommandOnClipboard(const CCommand& command) {
    const char* format = ClipboardFormatOf(command);
    if (format == nullptr) return 0;
    const std::shared_ptr<CommandClipboard> board = InstalledCommandClipboard();
    if (board == nullptr) return 0;
    const std::vector<uint8_t> bytes = ClipboardBytes(command);
    if (bytes.empty()) return 0;
    return board->Put(format, bytes) != 0 ? 1 : 0;
}

std::unique_ptr<CKelCommand> CommandFromClipboardBytes(std::string_view format,
                                                       std::span<const uint8_t> bytes,
                                                       CKelCommunication* manager) {
    const CRuntimeClass* expected = ClassOfFormat(format);
    if (expected == nullptr) return nullptr;
    RegisterCommandClasses();  // the object is created by its class name
    CArchive archive(bytes);
    std::unique_ptr<CObject> object = ReadObject(archive, expected);
    // Bytes left over mean the data is not what was copied.
    if (archive.Failed() || object == nullptr || archive.Remaining() != 0) return nullptr;
    if (object->GetRuntimeClass() != expected) return nullptr;
    std::unique_ptr<CKelCommand> command(static_cast<CKelCommand*>(object.release()));
    if (manager != nullptr) manager->AttachCommand(command.get());
    return command;
}

std::unique_ptr<CKelCommand> PasteCommand(CKelCommunication* manager) {
    const std::shared_ptr<CommandClipboard> board = InstalledCommandClipboard();
    if (board == nullptr) return nullptr;
    for (const char* format : kCommandFormats) {
        if (std::optional<std::vector<uint8_t>> bytes = board->Get(format)) {
            return CommandFromClipboardBytes(format, *bytes, manager);
        }
    }
    return nullptr;
}

}  // namespace kelcmd
