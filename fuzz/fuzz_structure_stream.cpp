// Reads a structure description stream from arbitrary bytes, then lays it out and fills structure
// data from the rest of the input. Nothing may crash, read outside the input or allocate from an
// unchecked count; a failed read must leave the definition as it was, and a successful one must
// store and read back to the same definition.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "archive/archive.h"
#include "command/structure_definition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    const kelcmd::CStructureDefinition before("Before", {{"x", kelcmd::ELEMENT_WORD, 2}});
    kelcmd::CStructureDefinition definition = before;

    kelcmd::CArchive archive(input);
    if (!definition.ReadStream(archive)) {
        if (!(definition == before)) std::abort();
        return 0;
    }
    const size_t consumed = size - archive.Remaining();
    // Lengths may be spelt in a longer form than needed; what is stored must read back the same.
    kelcmd::CStructureDefinition reread;
    if (!reread.FromStream(definition.ToStream()) || !(reread == definition)) std::abort();

    for (bool aligned : {false, true}) {
        kelcmd::CStructureData values(definition, aligned);
        values.LoadImage(input.subspan(consumed), aligned);
        if (values.GetImage().size() > kelcmd::CStructureData::kMaxImageSize) std::abort();
        for (size_t element = 0; element < definition.GetElementCount() && element < 64;
             ++element) {
            const double number = values.GetNumber(element, 0);
            values.SetNumber(element, 0, number);
            values.SetNumber(element, 1, 1e300);
        }
    }
    return 0;
}
