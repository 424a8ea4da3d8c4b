// The miscellaneous family's result that is code: the CPU stack level as a sentence.
#include <cstdio>

#include "command/parameter_list.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {

std::string MaxStackMessage(const CParameterList& wire) {
    char text[96];
    std::snprintf(text, sizeof text, "The highest level reached by the CPU stack is %i !",
                  static_cast<int>(ReadUnsigned(wire.GetReturnValue(0)) & 0xFFFF));
    return text;
}

}  // namespace kelcmd::dialogs
