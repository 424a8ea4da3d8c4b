#include "dialogs/families/single_parameter.h"

#include "api/system_parameter_family.h"
#include "api/system_parameter_texts.h"
#include "command/command_family.h"
#include "command/kel_standard_command.h"
#include "command/parameter_types.h"
#include "command/system_parameter_table.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kReadFailed = "Error reading parameter!";
constexpr const char* kWriteFailed = "Error writing parameter!";

int EntryOfParameter(uint32_t number) {
    const std::vector<std::string>& names = ParameterSelectionNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (SelectionParameterNumber(static_cast<uint32_t>(i)) == number) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

uint32_t ParameterNumber(const CKelStandardCommand& command) {
    const int index = command.Wire().FindSend("paramNb");
    if (index < 0) return 0;
    return ReadUnsigned(command.Wire().GetSendValue(static_cast<size_t>(index)).first(1));
}

void SetParameterNumber(CKelStandardCommand& command, uint32_t number) {
    CParameterList& wire = command.Wire();
    const int index = wire.FindSend("paramNb");
    if (index < 0) return;
    const auto byte = static_cast<uint8_t>(number);
    wire.SetSendValue(static_cast<size_t>(index), &byte, 1);
    CSystemParameterFamily::RetypeValue(command, number);
}

const char* TypeName(uint8_t type) {
    switch (type) {
        case TYPE_BYTE:
            return "( Byte )";
        case TYPE_WORD:
            return "( Word )";
        case TYPE_INT:
            return "( Int )";
        case TYPE_LINT:
            return "( LInt )";
        case TYPE_FLOAT:
            return "( Float )";
        default:
            return "";
    }
}

}  // namespace

int ChooseParameter(CKelStandardCommand& command) {
    const FormLayout form{command.GetName(), {List("", "Parameter", ParameterSelectionNames())}};
    uint32_t chosen = ParameterNumber(command);
    const int done = EditCommandForm(
        form, command,
        [&](std::vector<FieldValue>& values) { values[0].choice = EntryOfParameter(chosen); },
        [&](const std::vector<FieldValue>& values) {
            chosen = SelectionParameterNumber(static_cast<uint32_t>(std::max(0, values[0].choice)));
        });
    if (done == 1) SetParameterNumber(command, chosen);
    return done;
}

int ShowParameter(CKelStandardCommand& command) {
    const uint32_t number = ParameterNumber(command);
    const int index = command.Wire().FindReturn("value");
    const uint32_t bits =
        index < 0 ? 0 : ReadUnsigned(command.Wire().GetReturnValue(static_cast<size_t>(index)));
    return ShowTexts(command.GetName(), {{"Name", SystemParameterName(number)},
                                         {"Value", SystemParameterValueText(number, bits)},
                                         {"Unit", SystemParameterUnit(number)}});
}

int EditTempParameter(CCommandFamily& family, const char* port, uint8_t slave) {
    std::unique_ptr<CKelStandardCommand> read = CopyPrototype(family, "ReadTempParam");
    std::unique_ptr<CKelStandardCommand> write = CopyPrototype(family, "SetTempParam");
    if (!read || !write) return 0;
    if (BindTarget(*read, port, slave) == 0) return 0;
    if (ChooseParameter(*read) == 0) return 0;
    StorePrototype(family, *read);
    read->ClearResults();
    if (ExecuteCommand(family, *read) == 0 || !read->Wire().IsValid()) {
        CurrentPrompt().ShowMessage(kReadFailed);
        return 0;
    }

    const uint32_t number = ParameterNumber(*read);
    const SystemParameterInfo* info = FindSystemParameter(number);
    if (info == nullptr) return 0;
    write->SetPortName(read->GetPortName());
    write->SetDestination(read->GetDestination());
    SetParameterNumber(*write, number);
    const int readValue = read->Wire().FindReturn("value");
    const int writeValue = write->Wire().FindSend("value");
    if (readValue < 0 || writeValue < 0) return 0;
    const std::span<const uint8_t> value =
        read->Wire().GetReturnValue(static_cast<size_t>(readValue));
    write->Wire().SetSendValue(static_cast<size_t>(writeValue), value.data(),
                               static_cast<uint32_t>(value.size()));

    FieldLayout name{"", "Name", FieldKind::kText};
    name.readOnly = true;
    FieldLayout valueText{"", "Value read", FieldKind::kText};
    valueText.readOnly = true;
    const FormLayout form{
        "SetTempParam",
        {name, Number("value", std::string("Value ") + TypeName(info->type), info->unit),
         valueText}};
    const int confirmed = EditCommandForm(form, *write, [&](std::vector<FieldValue>& values) {
        values[0].text = SystemParameterName(number);
        values[2].text = SystemParameterValueText(number, ReadUnsigned(value));
    });
    if (confirmed == 0) return 0;
    if (ExecuteCommand(family, *write) == 0) {
        CurrentPrompt().ShowMessage(kWriteFailed);
        return 0;
    }
    return 1;
}

}  // namespace kelcmd::dialogs
