#include "reading_text.h"

#include "api/unit_texts.h"
#include "dialogs/families/form_table.h"

namespace kelcmd::studio {
namespace {

std::string Described(int16_t number, const UnitText& text) {
    if (number == 0) return "none";
    return std::to_string(number) + " " + std::string(text.mnemonic) + ": " +
           std::string(text.text);
}

}  // namespace

std::vector<std::string> StatusNames(uint16_t status) {
    std::vector<std::string> names;
    for (const dialogs::BitLabel& bit : dialogs::AxisStatusBits()) {
        if ((status >> bit.bit) & 1u) names.push_back(bit.label);
    }
    return names;
}

std::string UnitErrorText(int16_t error) {
    return Described(error, LookupUnitError(error));
}

std::string UnitWarningText(int16_t warning) {
    return Described(warning, LookupUnitWarning(warning));
}

}  // namespace kelcmd::studio
