#include "dialogs/bootstrap/installed_dialogs.h"

#include <QApplication>
#include <cstdio>
#include <type_traits>

#include "api/catalogue_call.h"
#include "api/communication.h"
#include "command/command_family.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"
#include "dialogs/bootstrap/application.h"
#include "dialogs/families/form_table.h"
#include "dialogs/families/unit_text_dialog.h"
#include "dialogs/parameter_set/parameter_set_run.h"
#include "dialogs/ports/entry_dialogs.h"
#include "dialogs/ports/port_table_dialog.h"
#include "dialogs/toolkit/form_dialog.h"
#include "dialogs/toolkit/typed_value.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

// Dialogs need the GUI thread; a hook called where none can be shown counts as cancelled.
bool GuiReady(const char* what) {
    const std::string reason = PrepareGui();
    if (reason.empty()) return true;
    std::fprintf(stderr, "%s: %s\n", what, reason.c_str());
    return false;
}

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

// Edits the send side of `wire` with `form`; 1 on "&OK" (values stored), 0 on "&Cancel".
int EditForm(const FormLayout& form, CParameterList& wire, CCommand& command) {
    if (form.fields.empty()) return 1;
    if (!GuiReady(form.title.c_str())) return 0;
    FormModel model(form, FormSide::kSend);
    model.Load(wire);
    FormDialog dialog(model, ActiveWindow());
    if (dialog.exec() != QDialog::Accepted) return 0;
    model.Store(wire, &command);
    return 1;
}

// "Enter Parameter" for a command without a form of its own.
int EnterParameterSet(CParameterList& wire, std::span<const StructureAttachment> attachments,
                      const CKelCommand& command) {
    if (wire.GetSendCount() == 0) return 1;
    if (!GuiReady("Enter Parameter")) return 0;
    return EnterParameters(wire, attachments, ParameterSetCaption(command));
}

// "Show Return Parameter" likewise: 1 when there is nothing to show or it was shown, 0 when the
// values are not valid or no window can be shown.
int ShowParameterSet(const CParameterList& wire, std::span<const StructureAttachment> attachments,
                     const CKelCommand& command) {
    if (wire.GetReturnCount() == 0) return 1;
    if (!wire.IsValid() || !GuiReady("Show Return Parameter")) return 0;
    return ShowReturnParameters(wire, attachments, ParameterSetCaption(command));
}

// Shows the return side of `wire` with `form`: 1 when there is nothing to show or it was shown,
// 0 when the values are not valid or no window can be shown.
int ShowForm(const FormLayout& form, const CParameterList& wire) {
    if (form.fields.empty()) return 1;
    if (!wire.IsValid() || !GuiReady(form.title.c_str())) return 0;
    FormModel model(form, FormSide::kReturn);
    model.Load(wire);
    FormDialog dialog(model, ActiveWindow());
    dialog.exec();
    return 1;
}

// ReadError / ReadWarning: the number and its texts, with "&Clear" clearing and reading again on
// the command's port and slave.
int ShowUnitText(CCommandFamily& family, const CKelStandardCommand& command, bool error) {
    const CParameterList& wire = command.Wire();
    if (!wire.IsValid() || !GuiReady(command.GetName().c_str())) return 0;
    const auto number = static_cast<int16_t>(ReadUnsigned(wire.GetReturnValue(0)) & 0xFFFF);
    const std::string port = command.GetPortName();
    const uint8_t slave = command.GetDestination();
    auto clearAndRead = [&family, port, slave, error]() -> std::optional<int16_t> {
        if (CallCatalogue(&family, port.c_str(), slave, error ? "ClearError" : "ClearWarning") ==
            0) {
            return std::nullopt;
        }
        int16_t fresh = 0;
        if (CallCatalogue(&family, port.c_str(), slave, error ? "ReadError" : "ReadWarning", {},
                          {Out(&fresh)}) == 0) {
            return std::nullopt;
        }
        return fresh;
    };
    UnitTextDialog dialog(error ? UnitTextKind::kError : UnitTextKind::kWarning, number,
                          clearAndRead, ActiveWindow());
    dialog.exec();
    return 1;
}

// The core calls these hooks from its own code paths: nothing thrown here may reach it.
template <class Body>
auto Guarded(const char* what, Body&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", what, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: failed\n", what);
    }
    if constexpr (!std::is_void_v<decltype(body())>) return decltype(body()){};
}

int32_t DestinationOr1(const CKelCommand& command) {
    return command.GetDestination() == 0 ? 1 : command.GetDestination();
}

}  // namespace

int QtCommandDialogs::EditParameters(CCommandFamily&, CKelStandardCommand& command) {
    return Guarded("EditParameters", [&] {
        const CommandForms* forms = FindCommandForms(command.GetName());
        if (forms != nullptr && forms->editInput) {
            return GuiReady(command.GetName().c_str()) ? forms->editInput(command) : 0;
        }
        if (forms != nullptr) {
            return forms->input ? EditForm(*forms->input, command.Wire(), command) : 1;
        }
        return EnterParameterSet(command.Wire(), {}, command);
    });
}

int QtCommandDialogs::ShowResults(CCommandFamily& family, CKelStandardCommand& command) {
    return Guarded("ShowResults", [&] {
        const CommandForms* forms = FindCommandForms(command.GetName());
        if (forms == nullptr) {
            return ShowParameterSet(command.Wire(), {}, command);
        }
        if (forms->showResult) {
            if (!command.Wire().IsValid()) return 1;
            return GuiReady(command.GetName().c_str()) ? forms->showResult(command) : 0;
        }
        if (forms->unitText != CommandForms::UnitText::kNone) {
            return ShowUnitText(family, command, forms->unitText == CommandForms::UnitText::kError);
        }
        if (forms->resultMessage) {
            // A result that was not read (the command went into a batch) is not shown.
            if (command.Wire().IsValid()) {
                CurrentPrompt().ShowMessage(forms->resultMessage(command.Wire()));
            }
            return 1;
        }
        return forms->result ? ShowForm(*forms->result, command.Wire()) : 1;
    });
}

int QtCommandDialogs::EditCustomerParameters(CKelCustomerCommand& command) {
    return Guarded("EditCustomerParameters", [&] {
        return EnterParameterSet(command.Parameters(), command.SendAttachments(), command);
    });
}

int QtCommandDialogs::ShowCustomerResults(CKelCustomerCommand& command) {
    return Guarded("ShowCustomerResults", [&] {
        return ShowParameterSet(command.Parameters(), command.ReturnAttachments(), command);
    });
}

int QtCommandDialogs::EditDestination(CKelCommand& command) {
    return Guarded("Enter Destination", [&] {
        if (!GuiReady("Enter Destination")) return 0;
        int32_t minimum = 1;
        int32_t maximum = 255;
        command.GetDestinationRange(minimum, maximum);
        EnterDestinationDialog dialog(DestinationOr1(command), minimum, maximum, ActiveWindow());
        if (dialog.exec() != QDialog::Accepted) return 0;
        command.SetDestination(dialog.Value());
        return 1;
    });
}

int QtCommandDialogs::EditPortName(CKelCommand& command) {
    return Guarded("Enter PortName", [&] {
        if (!GuiReady("Enter PortName")) return 0;
        std::vector<std::string> names;
        command.GetPortNames(names);
        EnterPortNameDialog dialog(names, command.GetPortName(), ActiveWindow());
        if (dialog.exec() != QDialog::Accepted) return 0;
        command.SetPortName(dialog.Name());
        return 1;
    });
}

int QtCommandDialogs::EditPortAndDestination(CKelCommand& command) {
    return Guarded("Enter PortName & Destination", [&] {
        if (!GuiReady("Enter PortName & Destination")) return 0;
        std::vector<std::string> names;
        command.GetPortNames(names);
        int32_t minimum = 1;
        int32_t maximum = 255;
        command.GetDestinationRange(minimum, maximum);
        EnterPortAndDestinationDialog dialog(names, command.GetPortName(), DestinationOr1(command),
                                             minimum, maximum, ActiveWindow());
        if (dialog.exec() != QDialog::Accepted) return 0;
        command.SetPortName(dialog.Name());
        command.SetDestination(dialog.Destination());
        return 1;
    });
}

bool EditPortSettingsInDialog(CPortSettings& settings) {
    return Guarded("Communication", [&] {
        if (!GuiReady("Communication")) return false;
        CommunicationState state;
        state.SetSettings(settings);
        if (!ExecCommunicationDialog(state, ActiveWindow())) return false;
        settings = state.GetSettings(settings);
        return true;
    });
}

void ShowPortTableEditor() {
    return Guarded("Communication Port Info & Test", [&] {
        if (!GuiReady("Communication Port Info & Test")) return;
        PortTableActions actions(Communication(), [](CommunicationState& state) {
            return ExecCommunicationDialog(state, ActiveWindow());
        });
        PortTableDialog dialog(actions, false, ActiveWindow());
        dialog.exec();
    });
}

}  // namespace kelcmd::dialogs
