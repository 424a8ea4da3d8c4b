// Loads a bus command, class-tagged object references and a pasted clipboard command from
// arbitrary bytes. None may crash, read outside the input, or allocate from an unchecked length; a
// failed load must leave the command exactly as it was, and a pasted command is of its format's
// class.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "archive/object_io.h"
#include "command/command_classes.h"
#include "command/command_clipboard.h"
#include "command/kel_command.h"

namespace {

std::vector<uint8_t> Store(kelcmd::CKelCommand& command) {
    kelcmd::CArchive out;
    command.Serialize(out);
    return out.TakeData();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kelcmd::RegisterCommandClasses();  // the tagged objects are created by class name
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);

    kelcmd::CKelCommand command;
    command.SetCommand("Before", 1, 2, 3);
    const std::vector<uint8_t> before = Store(command);
    kelcmd::CArchive direct(bytes);
    command.Serialize(direct);
    if (direct.Failed() && Store(command) != before) std::abort();
    if (!direct.Failed() && command.GetMessageLength() > kelcmd::kMaxDataLength) std::abort();

    kelcmd::CArchive tagged(bytes);
    while (!tagged.Failed() && tagged.Remaining() > 0) {
        std::unique_ptr<kelcmd::CObject> object =
            kelcmd::ReadObject(tagged, kelcmd::CCommand::StaticClass());
        if (object && !object->IsKindOf(kelcmd::CCommand::StaticClass())) std::abort();
        if (object) {
            kelcmd::CArchive again;  // whatever was loaded can be stored again
            kelcmd::WriteObject(again, object.get());
        }
    }

    for (const char* format : kelcmd::kCommandFormats) {
        const std::unique_ptr<kelcmd::CKelCommand> pasted =
            kelcmd::CommandFromClipboardBytes(format, bytes, nullptr);
        if (!pasted) continue;
        const char* pastedFormat = kelcmd::ClipboardFormatOf(*pasted);
        if (pastedFormat == nullptr || std::string_view(pastedFormat) != format) std::abort();
        if (kelcmd::ClipboardBytes(*pasted).empty()) std::abort();
    }
    return 0;
}
