// The command dialogs' exports: MP_<command>Dlg(port, slave) runs the command's dialogs on its
// family's prototype.
#include "api/families.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/toolkit/command_runner.h"
#include "kelcmd/kelcmd_dialogs.h"

#define KELCMD_COMMAND_DIALOG(family, command)                                              \
    KELCMD_DIALOGS_API int32_t MP_##command##Dlg(const char* portName, uint8_t slave) {     \
        return kelcmd::dialogs::RunDialogExport("MP_" #command "Dlg", [&] {                 \
            return kelcmd::dialogs::RunCommandDialog(kelcmd::Families().family(), #command, \
                                                     portName, slave);                      \
        });                                                                                 \
    }

extern "C" {

KELCMD_COMMAND_DIALOG(Status, ReadAxisStatus)
KELCMD_COMMAND_DIALOG(Status, ReadError)
KELCMD_COMMAND_DIALOG(Status, ReadWarning)

KELCMD_COMMAND_DIALOG(Exception, ResetSlave)

KELCMD_COMMAND_DIALOG(MotionInfo, ReadPosition)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPositionMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPositionIsMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadVelocity)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadVelocityMean)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadVelocityMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadVelocityIsMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadCurrent)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadCurrentMean)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadCurrentMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadCurrentIsMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPosVelCur)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPosVelCurMean)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPosVelCurMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadPosVelCurIsMust)
KELCMD_COMMAND_DIALOG(MotionInfo, ReadAxisInfo)

KELCMD_COMMAND_DIALOG(Miscellaneous, ReadECStatus)
KELCMD_COMMAND_DIALOG(Miscellaneous, ReadMaxStack)
KELCMD_COMMAND_DIALOG(Miscellaneous, ReadSysTime)
KELCMD_COMMAND_DIALOG(Miscellaneous, SetCurrent)
KELCMD_COMMAND_DIALOG(Miscellaneous, WaitTime)

KELCMD_COMMAND_DIALOG(InputOutput, ReadAnalogInput)
KELCMD_COMMAND_DIALOG(InputOutput, ReadInput)
KELCMD_COMMAND_DIALOG(InputOutput, ReadInputByte)
KELCMD_COMMAND_DIALOG(InputOutput, SetOutput)
KELCMD_COMMAND_DIALOG(InputOutput, SetOutputByte)
KELCMD_COMMAND_DIALOG(InputOutput, SetUserPWM)
KELCMD_COMMAND_DIALOG(InputOutput, WaitForInput)

KELCMD_COMMAND_DIALOG(MultiAxes, InitMoveAbsolute)
KELCMD_COMMAND_DIALOG(MultiAxes, InitMoveAbsoluteInfo)
KELCMD_COMMAND_DIALOG(MultiAxes, InitMoveRelative)
KELCMD_COMMAND_DIALOG(MultiAxes, InitMoveRelativeInfo)
KELCMD_COMMAND_DIALOG(MultiAxes, InitSetVelocity)
KELCMD_COMMAND_DIALOG(MultiAxes, InitSetVelocityInfo)

}  // extern "C"
