#include "dialogs/structures/user_parameter_editing.h"

#include <QApplication>
#include <array>
#include <string>

#include "api/families.h"
#include "api/user_parameter_family.h"
#include "api/user_parameter_texts.h"
#include "dialogs/structures/structure_dialogs.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {

CStructureDefinition& UserParameterStructure(int set) {
    static std::array<CStructureDefinition, 2> structures;
    return structures[set == 2 ? 1 : 0];
}

bool EnsureUserParameterStructure(int set) {
    CStructureDefinition& structure = UserParameterStructure(set);
    if (structure.GetElementCount() == 0) {
        DefineStructureDialog define(structure, CUserParameterFamily::kMaxSetBytes, true,
                                     "Define Structure for " + MemoryAreaName(set + 1),
                                     QApplication::activeWindow());
        if (define.exec() == QDialog::Accepted) structure = define.Definition();
    }
    if (structure.GetElementCount() == 0) {
        CurrentPrompt().ShowMessage("No struct loaded");
        return false;
    }
    return true;
}

int EditUserParameterSet(const char* port, uint8_t slave, int set, bool permanent) {
    if (!EnsureUserParameterStructure(set)) return 0;
    const CStructureDefinition& structure = UserParameterStructure(set);
    CUserParameterFamily& family = Families().UserParameter();
    CStructureData data(structure, true);
    if (ReadUserParameterSet(family, port, slave, set, permanent, data) == 0) {
        CurrentPrompt().ShowMessage("Error reading parameter!");
        return 0;
    }
    StructureDataDialog edit(data, true, QApplication::activeWindow());
    if (edit.exec() != QDialog::Accepted) return 0;
    if (WriteUserParameterSet(family, port, slave, set, permanent, data) == 0) {
        CurrentPrompt().ShowMessage("Error writing parameter!");
        return 0;
    }
    return 1;
}

}  // namespace kelcmd::dialogs
