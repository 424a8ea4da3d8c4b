#include "dialogs/toolkit/text_format.h"

namespace kelcmd::dialogs {

std::string BitPatternText(uint32_t value, int bits) {
    std::string text;
    for (int bit = bits - 1; bit >= 0; --bit) {
        if ((bit + 1) % 4 == 0) text += " | ";
        text += ((value >> bit) & 1u) != 0 ? '1' : '0';
    }
    return text + " | ";
}

}  // namespace kelcmd::dialogs
