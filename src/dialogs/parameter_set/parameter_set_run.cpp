#include "dialogs/parameter_set/parameter_set_run.h"

#include <QApplication>
#include <cstdio>

#include "command/kel_command.h"
#include "command/kel_customer_command.h"
#include "command/parameter_list.h"
#include "dialogs/parameter_set/parameter_set_dialog.h"

namespace kelcmd::dialogs {

std::string ParameterSetCaption(const CKelCommand& command) {
    char code[16];
    std::snprintf(code, sizeof code, " ( 0x%.2X )", static_cast<unsigned>(command.GetCode()));
    return command.GetName() + code;
}

int EnterParameters(CParameterList& list, std::span<const StructureAttachment> attachments,
                    const std::string& caption) {
    if (list.GetSendCount() == 0) return 1;
    ParameterSetModel model(list, ParameterSide::kSend, attachments);
    ParameterSetDialog dialog(model, caption, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return 0;
    model.Store(list);
    return 1;
}

int ShowReturnParameters(const CParameterList& list,
                         std::span<const StructureAttachment> attachments,
                         const std::string& caption) {
    if (list.GetReturnCount() == 0) return 1;
    if (!list.IsValid()) return 0;
    ParameterSetModel model(list, ParameterSide::kReturn, attachments);
    ParameterSetDialog dialog(model, caption, QApplication::activeWindow());
    dialog.exec();
    return 1;
}

}  // namespace kelcmd::dialogs
