#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "api/autotune_family.h"
#include "api/catalogue_call.h"
#include "api/communication.h"
#include "api/exception_family.h"
#include "api/input_output_family.h"
#include "api/miscellaneous_family.h"
#include "api/motion_control_family.h"
#include "api/motion_info_family.h"
#include "api/multi_axes_family.h"
#include "api/recorder_family.h"
#include "api/serial_io_family.h"
#include "api/status_family.h"
#include "api/system_parameter_family.h"
#include "api/user_parameter_family.h"
#include "command/batch_command_store.h"
#include "command/command_stack.h"
#include "command/customer_command_sets.h"
#include "transport/kel_communication.h"

namespace kelcmd {

class CCommandTree;
class CKelBatchCommand;

// What the manager owns beside its ports: one object per command family, the customer command
// sets, the batch command store and the command stack, all linked to the manager's port table.
// Families are in the manager's family order, which is the order in which AttachCommand offers a
// command.
class CKelFamilies : public CCommandOwners {
  public:
    explicit CKelFamilies(CKelCommunication& ports);

    CMotionControlFamily& MotionControl() { return motionControl_; }
    CStatusFamily& Status() { return status_; }
    CAutotuneFamily& Autotune() { return autotune_; }
    CSystemParameterFamily& SystemParameter() { return systemParameter_; }
    CMultiAxesFamily& MultiAxes() { return multiAxes_; }
    CMotionInfoFamily& MotionInfo() { return motionInfo_; }
    CExceptionFamily& Exception() { return exception_; }
    CInputOutputFamily& InputOutput() { return inputOutput_; }
    CMiscellaneousFamily& Miscellaneous() { return miscellaneous_; }
    CRecordingFamily& Recording() { return recording_; }
    CSerialIoFamily& SerialIo() { return serialIo_; }
    CUserParameterFamily& UserParameter() { return userParameter_; }
    CCustomerCommandSets& CustomerSets() { return customerSets_; }
    CBatchCommandStore& BatchStore() { return batchStore_; }
    CCommandStack& Stack() { return stack_; }

    // A standard command goes to the first family whose codes include its code; a customer command
    // joins the customer command sets' manager and the port table; a batch the port table, its
    // members attached in turn.
    int AttachCommand(CObject& command) override;
    int AttachBatch(CKelBatchCommand& batch);
    void DeclareLinks(CParameterLinks& links) override;
    // "KelCommands" with "Standard Commands", "Customer Commands" and "Batch Commands" below it.
    void BuildCommandTree(CCommandTree& root);

    // Every family, in the manager's family order.
    std::vector<CCommandFamily*> InOrder();

  private:
    CMotionControlFamily motionControl_;
    CStatusFamily status_;
    CAutotuneFamily autotune_;
    CSystemParameterFamily systemParameter_;
    CMultiAxesFamily multiAxes_;
    CMotionInfoFamily motionInfo_;
    CExceptionFamily exception_;
    CInputOutputFamily inputOutput_;
    CMiscellaneousFamily miscellaneous_;
    CRecordingFamily recording_;
    CSerialIoFamily serialIo_;
    CUserParameterFamily userParameter_;
    CCustomerCommandSets customerSets_;
    CBatchCommandStore batchStore_;
    CCommandStack stack_;
    CKelCommunication& ports_;
};

// The families of the process's manager (Communication()).
CKelFamilies& Families() noexcept;

}  // namespace kelcmd
