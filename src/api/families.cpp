#include "api/families.h"

#include "command/kel_standard_command.h"

namespace kelcmd {

CKelFamilies::CKelFamilies(CKelCommunication& ports, CCommandStack* stack) {
    for (CCommandFamily* family : InOrder()) family->SetLinks(&ports, stack);
}

std::vector<CCommandFamily*> CKelFamilies::InOrder() {
    return {&motionControl_, &status_,      &multiAxes_,    &motionInfo_,
            &exception_,     &inputOutput_, &miscellaneous_};
}

int CKelFamilies::AttachCommand(CObject& command) {
    if (auto* standard = dynamic_cast<CKelStandardCommand*>(&command)) {
        for (CCommandFamily* family : InOrder()) {
            if (family->Adopt(*standard)) return 1;
        }
        return 0;
    }
    return 0;
}

void CKelFamilies::DeclareLinks(CParameterLinks& links) {
    // The manager's declaration order: autotuning, exception, input/output, miscellaneous, motion
    // control, motion info, multi-axes, recorder, serial input/output, status, system parameters,
    // user parameters.
    exception_.DeclareLinks(links);
    inputOutput_.DeclareLinks(links);
    miscellaneous_.DeclareLinks(links);
    motionControl_.DeclareLinks(links);
    motionInfo_.DeclareLinks(links);
    multiAxes_.DeclareLinks(links);
    status_.DeclareLinks(links);
}

// The composition root: the one place that knows every layer builds the manager with its
// families. The command stack comes with the batch commands; until then families execute
// directly.
CKelCommunication& Communication() {
    static CKelCommunication manager(
        [](CKelCommunication& ports) { return std::make_unique<CKelFamilies>(ports, nullptr); });
    return manager;
}

CKelFamilies& Families() {
    // Communication() always installs a CKelFamilies.
    return static_cast<CKelFamilies&>(*Communication().GetCommandOwners());
}

int32_t CallExport(CCommandFamily& family, const char* port, uint8_t slave,
                   std::string_view command, std::initializer_list<SendArgument> send,
                   std::initializer_list<ReturnArgument> returns, AnswerTimeout timeout) noexcept {
    try {
        return CallCatalogue(&family, port, slave, command, send, returns, timeout);
    } catch (...) {
        return 0;
    }
}

// The manager exists before any export can run.
[[maybe_unused]] static CKelCommunication& constructedAtLoad = Communication();

}  // namespace kelcmd
