#include "dialogs/ports/port_opening.h"

#include "platform/prompt.h"
#include "transport/result_codes.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kPortInUse = "Error opening port!\nPort is in use!";

CPortSettings KnownOrDefault(const CKelCommunication& manager, const std::string& name) {
    CPortSettings settings;
    if (std::shared_ptr<CKelPort> known = manager.FindPort(name)) {
        settings = known->Settings();
    } else {
        settings.SetName(name);
    }
    return settings;
}

std::string FailureText(const std::string& name) {
    return "Error opening port '" + name + "' !";
}

}  // namespace

int OpenPortWithMessage(CKelCommunication& manager, const CPortSettings& settings,
                        const std::string& failureText) {
    if (manager.InitPort(settings) == RESULT_OK) return 1;
    CurrentPrompt().ShowMessage(failureText);
    return 0;
}

int OpenPortNamed(CKelCommunication& manager, const std::string& name) {
    return OpenPortWithMessage(manager, KnownOrDefault(manager, name), FailureText(name));
}

int OpenPortWithSettings(CKelCommunication& manager, const CPortSettings& settings) {
    return OpenPortWithMessage(manager, settings, FailureText(settings.GetName()));
}

int OpenPortDialog(CKelCommunication& manager, const CPortSettings& settings,
                   const EditPortSettings& edit) {
    CPortSettings chosen = settings;
    if (!edit || !edit(chosen)) return 0;
    return OpenPortWithMessage(manager, chosen, kPortInUse);
}

int InitPortDialog(CKelCommunication& manager, const std::string& name, std::string* chosenName,
                   const EditPortSettings& edit) {
    CPortSettings settings = KnownOrDefault(manager, name);
    if (!edit || !edit(settings)) return 0;
    if (OpenPortWithMessage(manager, settings, kPortInUse) == 0) return 0;
    if (chosenName != nullptr) *chosenName = settings.GetName();
    return 1;
}

}  // namespace kelcmd::dialogs
