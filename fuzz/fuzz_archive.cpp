// Loads a bus command and a class-tagged object reference from arbitrary bytes. Neither may
// crash, read outside the input, or allocate from an unchecked length; a failed load must leave
// the command exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "archive/archive.h"
#include "archive/object_io.h"
#include "command/command_classes.h"
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
    return 0;
}
