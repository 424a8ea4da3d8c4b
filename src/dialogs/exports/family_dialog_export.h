#pragma once

#include "api/families.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/toolkit/command_runner.h"
#include "kelcmd/kelcmd_dialogs.h"

// MP_<command>Dlg(port, slave): the command's dialogs on its family's prototype.
#define KELCMD_FAMILY_DIALOG(family, command)                                               \
    KELCMD_DIALOGS_API int32_t MP_##command##Dlg(const char* portName, uint8_t slave) {     \
        return kelcmd::dialogs::RunDialogExport("MP_" #command "Dlg", [&] {                 \
            return kelcmd::dialogs::RunCommandDialog(kelcmd::Families().family(), #command, \
                                                     portName, slave);                      \
        });                                                                                 \
    }

// MP_<name>Dlg(port, slave): read, edit in the write command's dialog, write.
#define KELCMD_READ_EDIT_WRITE_DIALOG(family, name, ...)                                           \
    KELCMD_DIALOGS_API int32_t MP_##name##Dlg(const char* portName, uint8_t slave) {               \
        return kelcmd::dialogs::RunDialogExport("MP_" #name "Dlg", [&] {                           \
            static const kelcmd::dialogs::ReadEditWrite steps{__VA_ARGS__};                        \
            return kelcmd::dialogs::RunReadEditWrite(kelcmd::Families().family(), steps, portName, \
                                                     slave);                                       \
        });                                                                                        \
    }
