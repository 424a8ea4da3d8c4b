// The exception family: ResetSlave asks for the kind of reset; the unit never answers it.
#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {

void AddExceptionForms(FormTable& table) {
    table["ResetSlave"] = {.input = FormLayout{"ResetSlave",
                                               {Choice("bootmode", "Reset mode",
                                                       {"hot boot (restart application only)",
                                                        "cold boot (equal to a hard reset)",
                                                        "watchdog reset (endless loop)"})}}};
}

}  // namespace kelcmd::dialogs
