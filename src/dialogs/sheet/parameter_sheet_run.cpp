#include "dialogs/sheet/parameter_sheet_run.h"

#include <QApplication>
#include <cstring>

#include "command/command_family.h"
#include "command/kel_standard_command.h"
#include "dialogs/sheet/parameter_sheet_dialog.h"
#include "dialogs/toolkit/command_runner.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kReadFailed = "Error reading parameter!";
constexpr const char* kWriteFailed = "Error writing parameter!";

// Reads the set with `name`; the bytes of its return parameter in the host's layout.
std::optional<T_SysParamEx> ReadSet(CCommandFamily& family, CKelStandardCommand& read,
                                    size_t size) {
    read.ClearResults();
    if (ExecuteCommand(family, read) == 0 || !read.Wire().IsValid()) return std::nullopt;
    const std::span<const uint8_t> bytes = read.Wire().GetReturnValue(0);
    if (bytes.size() != size) return std::nullopt;
    T_SysParamEx set{};
    std::memcpy(&set, bytes.data(), size);
    return set;
}

}  // namespace

int EditAllParameters(CCommandFamily& family, bool temporary, const char* port, uint8_t slave) {
    const std::string kind = temporary ? "Temp" : "Perm";
    std::unique_ptr<CKelStandardCommand> read = CopyPrototype(family, "ReadAll" + kind + "ParamEx");
    if (!read) return 0;
    if (BindTarget(*read, port, slave) == 0) return 0;
    const std::string portName = read->GetPortName();
    const uint8_t destination = read->GetDestination();

    bool extended = true;
    std::optional<T_SysParamEx> set = ReadSet(family, *read, sizeof(T_SysParamEx));
    if (!set) {
        extended = false;
        read = CopyPrototype(family, "ReadAll" + kind + "ParamShort");
        if (!read) return 0;
        read->SetPortName(portName);
        read->SetDestination(destination);
        set = ReadSet(family, *read, sizeof(T_SysParam));
    }
    if (!set) {
        CurrentPrompt().ShowMessage(kReadFailed);
        return 0;
    }

    ParameterSheetModel model(extended, set);
    const SheetTexts texts{temporary ? "Temporary System Parameter" : "Permanent System Parameter",
                           SheetCaption({}, destination), temporary};
    ParameterSheetDialog sheet(model, texts, QApplication::activeWindow());
    if (sheet.exec() != QDialog::Accepted) return 0;

    std::unique_ptr<CKelStandardCommand> write =
        CopyPrototype(family, "SetAll" + kind + (extended ? "ParamEx" : "ParamShort"));
    if (!write) return 0;
    write->SetPortName(portName);
    write->SetDestination(destination);
    const T_SysParamEx result = model.Result();
    write->SetSendValue(0, &result, extended ? sizeof(T_SysParamEx) : sizeof(T_SysParam));
    if (ExecuteCommand(family, *write) == 0) {
        CurrentPrompt().ShowMessage(kWriteFailed);
        return 0;
    }
    return 1;
}

}  // namespace kelcmd::dialogs
