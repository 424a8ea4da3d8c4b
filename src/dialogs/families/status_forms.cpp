// The status family: the axis status word as sixteen marks, the unit's error and warning with
// their texts and "&Clear".
#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {

void AddStatusForms(FormTable& table) {
    table["ReadAxisStatus"] = {
        .result = FormLayout{"ReadAxisStatus", {Bits("status", "Axis Status", AxisStatusBits())}}};
    table["ReadError"] = {.unitText = CommandForms::UnitText::kError};
    table["ReadWarning"] = {.unitText = CommandForms::UnitText::kWarning};
}

}  // namespace kelcmd::dialogs
