#include "api/families.h"

#include "api/built_ins.h"
#include "api/parameter_families.h"
#include "command/catalogue_trees.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"

namespace kelcmd {

CKelFamilies::CKelFamilies(CKelCommunication& ports)
    : customerSets_(&ports), batchStore_(&ports), stack_(&ports), ports_(ports) {
    for (CCommandFamily* family : InOrder()) family->SetLinks(&ports, &stack_);
    autotune_.SetRecordingFamily(&recording_);
}

std::vector<CCommandFamily*> CKelFamilies::InOrder() {
    return {&motionControl_, &status_,     &autotune_,  &systemParameter_,
            &multiAxes_,     &motionInfo_, &exception_, &inputOutput_,
            &miscellaneous_, &recording_,  &serialIo_,  &userParameter_};
}

int CKelFamilies::AttachCommand(CObject& command) {
    if (auto* standard = dynamic_cast<CKelStandardCommand*>(&command)) {
        for (CCommandFamily* family : InOrder()) {
            if (family->Adopt(*standard)) return 1;
        }
        return 0;
    }
    if (auto* customer = dynamic_cast<CKelCustomerCommand*>(&command)) {
        customer->SetManager(&customerSets_);
        customer->SetPortList(&ports_);
        return 1;
    }
    if (auto* batch = dynamic_cast<CKelBatchCommand*>(&command)) return AttachBatch(*batch);
    return 0;
}

int CKelFamilies::AttachBatch(CKelBatchCommand& batch) {
    batch.SetPortList(&ports_);
    for (const auto& member : batch.GetCommands()) AttachCommand(*member);
    return 1;
}

void CKelFamilies::DeclareLinks(CParameterLinks& links) {
    // The declaration order: autotuning, exception, input/output, miscellaneous, motion control,
    // motion info, multi-axes, recorder, serial input/output, status, system parameters, user
    // parameters.
    for (CCommandFamily* family : std::initializer_list<CCommandFamily*>{
             &autotune_, &exception_, &inputOutput_, &miscellaneous_, &motionControl_, &motionInfo_,
             &multiAxes_, &recording_, &serialIo_, &status_, &systemParameter_, &userParameter_}) {
        family->DeclareLinks(links);
    }
}

void CKelFamilies::BuildCommandTree(CCommandTree& root) {
    const std::vector<CCommandFamily*> families = InOrder();
    BuildKelCommandsTree(root, families, customerSets_, batchStore_);
}

// The composition root: the one place that knows every layer builds the manager with its
// families, holders and command stack.
CKelCommunication& Communication() {
    RegisterBuiltIns();
    static CKelCommunication manager(
        [](CKelCommunication& ports) { return std::make_unique<CKelFamilies>(ports); });
    return manager;
}

CAutotuneFamily& AutotuneFamily() noexcept {
    return Families().Autotune();
}
CRecordingFamily& RecordingFamily() noexcept {
    return Families().Recording();
}
CSerialIoFamily& SerialIoFamily() noexcept {
    return Families().SerialIo();
}
CSystemParameterFamily& SystemParameters() noexcept {
    return Families().SystemParameter();
}
CUserParameterFamily& UserParameters() noexcept {
    return Families().UserParameter();
}
CCommandStack& ProcessCommandStack() {
    return Families().Stack();
}

CKelFamilies& Families() noexcept {
    // Communication() always installs a CKelFamilies.
    return static_cast<CKelFamilies&>(*Communication().GetCommandOwners());
}

// The manager exists before any export can run.
[[maybe_unused]] static CKelCommunication& constructedAtLoad = Communication();

}  // namespace kelcmd
