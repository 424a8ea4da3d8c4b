// The user parameter commands from the command tree: their bytes are edited and shown through the
// set's structure, as the sets' edit dialogs do, and the structure travels with the command.
#include <QApplication>
#include <algorithm>

#include "api/user_parameter_family.h"
#include "command/kel_standard_command.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/structures/user_parameter_editing.h"

namespace kelcmd::dialogs {

// Reading: the set's structure goes with the command, so that its result is shown by it.
int PrepareUserParameterRead(CKelStandardCommand& command, int set) {
    if (!EnsureUserParameterStructure(set)) return 0;
    CUserParameterFamily::AttachStructure(command, UserParameterStructure(set));
    return 1;
}

// Writing: the bytes the command holds (a read carries its bytes into the matching write) edited
// through the set's structure; on "&OK" the structure's image is what the command sends.
int EditUserParameterWrite(CKelStandardCommand& command, int set) {
    if (!EnsureUserParameterStructure(set)) return 0;
    const CStructureDefinition& structure = UserParameterStructure(set);
    CStructureData data(structure, true);
    data.LoadImage(command.Wire().GetSendValue(0), true);
    StructureDataDialog edit(data, true, QApplication::activeWindow());
    if (edit.exec() != QDialog::Accepted) return 0;
    CUserParameterFamily::AttachStructure(command, structure);
    const std::vector<uint8_t>& image = data.GetImage();
    command.SetSendValue(0, image.data(), static_cast<uint32_t>(image.size()));
    return 1;
}

// The bytes read, by the structure the command was prepared with (the set's current one, defined
// now when there is none, when it carries none); only the bytes the unit sent belong to the set.
int ShowUserParameterRead(CKelStandardCommand& command, int set) {
    CStructureDefinition structure;
    if (!CUserParameterFamily::AttachedStructure(command, structure) ||
        structure.GetElementCount() == 0) {
        if (!EnsureUserParameterStructure(set)) return 0;
        structure = UserParameterStructure(set);
    }
    std::span<const uint8_t> bytes = command.Wire().GetReturnValue(0);
    if (command.GetAnswerLength() != 0) {
        bytes = bytes.first(std::min<size_t>(bytes.size(), command.GetAnswerLength()));
    }
    CStructureData data(structure, true);
    data.LoadImage(bytes, true);
    StructureDataDialog show(data, false, QApplication::activeWindow());
    show.exec();
    return 1;
}

}  // namespace kelcmd::dialogs
