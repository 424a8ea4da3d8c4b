// The motion control family's dialog exports.
#include "dialogs/exports/family_dialog_export.h"
#include "dialogs/families/read_edit_write.h"

extern "C" {

KELCMD_FAMILY_DIALOG(MotionControl, DefinePosition)
KELCMD_FAMILY_DIALOG(MotionControl, FindHome)
KELCMD_FAMILY_DIALOG(MotionControl, FindHomeEx)
KELCMD_FAMILY_DIALOG(MotionControl, FindHomeSys)
KELCMD_FAMILY_DIALOG(MotionControl, FindIndex)
KELCMD_FAMILY_DIALOG(MotionControl, MoveAbsolute)
KELCMD_FAMILY_DIALOG(MotionControl, MoveAbsoluteInfo)
KELCMD_FAMILY_DIALOG(MotionControl, MoveRelative)
KELCMD_FAMILY_DIALOG(MotionControl, MoveRelativeInfo)
KELCMD_FAMILY_DIALOG(MotionControl, ReadIndexDistance)
KELCMD_FAMILY_DIALOG(MotionControl, SetRegMode)
KELCMD_FAMILY_DIALOG(MotionControl, SetVelocity)
KELCMD_FAMILY_DIALOG(MotionControl, SetVelocityInfo)
KELCMD_FAMILY_DIALOG(MotionControl, SetWaitMode)
KELCMD_FAMILY_DIALOG(MotionControl, StopMotion)
KELCMD_FAMILY_DIALOG(MotionControl, WaitForPosition)
KELCMD_FAMILY_DIALOG(MotionControl, WaitForTargetPos)

KELCMD_READ_EDIT_WRITE_DIALOG(MotionControl, EditProfile, "ReadProfile", "SetProfile",
                              {{"profiletype", "profiletype"},
                               {"accel", "accel"},
                               {"decel", "decel"}},
                              "Error reading profile!", "Error writing profile!")
KELCMD_READ_EDIT_WRITE_DIALOG(MotionControl, EditPosVelocity, "ReadProfile", "SetPosVelocity",
                              {{"ceilVel", "posVelocity"}}, "Error reading positioning velocity!",
                              "Error writing positioning velocity!")

}  // extern "C"
