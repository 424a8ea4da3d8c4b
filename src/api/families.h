#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "api/catalogue_call.h"
#include "api/exception_family.h"
#include "api/input_output_family.h"
#include "api/miscellaneous_family.h"
#include "api/motion_control_family.h"
#include "api/motion_info_family.h"
#include "api/multi_axes_family.h"
#include "api/status_family.h"
#include "transport/kel_communication.h"

namespace kelcmd {

// The command families that the manager owns, one object each, linked to the manager's port table.
// Members are in the manager's family order, which is the order in which AttachCommand offers a
// command.
class CKelFamilies : public CCommandOwners {
  public:
    CKelFamilies(CKelCommunication& ports, CCommandStack* stack);

    CMotionControlFamily& MotionControl() { return motionControl_; }
    CStatusFamily& Status() { return status_; }
    CMultiAxesFamily& MultiAxes() { return multiAxes_; }
    CMotionInfoFamily& MotionInfo() { return motionInfo_; }
    CExceptionFamily& Exception() { return exception_; }
    CInputOutputFamily& InputOutput() { return inputOutput_; }
    CMiscellaneousFamily& Miscellaneous() { return miscellaneous_; }

    // A standard command goes to the first family whose codes include its code. Customer and
    // batch commands have no holder yet: 0.
    int AttachCommand(CObject& command) override;
    void DeclareLinks(CParameterLinks& links) override;

    // Every family, in the manager's family order.
    std::vector<CCommandFamily*> InOrder();

  private:
    CMotionControlFamily motionControl_;
    CStatusFamily status_;
    // autotuning, square current test and PWM: with their family
    // system parameters: with their family
    CMultiAxesFamily multiAxes_;
    CMotionInfoFamily motionInfo_;
    CExceptionFamily exception_;
    CInputOutputFamily inputOutput_;
    CMiscellaneousFamily miscellaneous_;
    // recorder, serial input/output, user parameters: with their families
};

// The families of the process's manager (Communication()).
CKelFamilies& Families();

// The body of a plain or MP_ catalogue export: CallCatalogue, with nothing thrown across the C
// boundary (a failed allocation is a failed call).
int32_t CallExport(CCommandFamily& family, const char* port, uint8_t slave,
                   std::string_view command, std::initializer_list<SendArgument> send = {},
                   std::initializer_list<ReturnArgument> returns = {},
                   AnswerTimeout timeout = {}) noexcept;

}  // namespace kelcmd
