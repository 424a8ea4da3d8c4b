"""C signatures of the command exports, by plain command name (generated from
kelcmd.h by tools/header_signatures.py).

Each line: the command, then its arguments after port name and slave address. u8 ... i32 and f32
are values of that C type; *u8 ... *f32 point to one value that the command writes; "in" points to
memory the command reads, "buf" to memory it writes (both provided by the caller). Every export
returns a 32-bit 1 or 0.
"""

_TABLE = """
Autotune *i16
BrakeFunction
CheckCRC u8 *u8 *u16
ClearError
ClearWarning
DefinePosition i32
ExecuteCommandStack
ExecuteQuietCommandStack
FindHome u8 u16 f32 i32 u32
FindHomeEx u8 u16 f32 i32 u32 i32
FindHomeSys u32
FindIndex f32 u32
GetChar *u8
GetFloat_Dec *f32
GetInt_Dec *i16
GetLWord_Dec *u32
GetLWord_Hex *u32
GetLong_Dec *i32
GetString buf u32
GetWord_Dec *u16
GetWord_Hex *u16
HaltFunction
InitAutotune u8 u8 u8 u8
InitMoveAbsolute i32
InitMoveAbsoluteInfo i32 *u8 *u32
InitMoveRelative i32
InitMoveRelativeInfo i32 *u8 *u32
InitSetVelocity f32
InitSetVelocityInfo f32 *u8 *u32
IsCharAvailable *u8
MoveAbsolute i32 u32
MoveAbsoluteInfo i32 u32 *u8 *u32
MoveRelative i32 u32
MoveRelativeInfo i32 u32 *u8 *u32
PutByte_Bin u8 u8
PutChar u8
PutFloat_Dec f32 u8 u8 u8
PutInt_Dec i16 u8
PutLWord_Dec u32 u8
PutLWord_Hex u32 u8
PutLong_Dec i32 u8
PutString in u32
PutWord_Bin u16 u8
PutWord_Dec u16 u8
PutWord_Hex u16 u8
ReadAllPermParam buf
ReadAllPermParamEx buf
ReadAllPermUsr1Param buf u32 *u32
ReadAllPermUsr2Param buf u32 *u32
ReadAllTempParam buf
ReadAllTempParamEx buf
ReadAllTempUsr1Param buf u32 *u32
ReadAllTempUsr2Param buf u32 *u32
ReadAnalogInput u8 *u16
ReadAxisInfo *u16 *u8 *u8 *i32 *f32 *i16
ReadAxisStatus *u16
ReadCurRegGains *i16 *i16 *i16
ReadCurrent *i16
ReadCurrentIsMust *i16 *i16
ReadCurrentMean *i16
ReadCurrentMust *i16
ReadECStatus *u8 *u8
ReadError *i16
ReadIndexDistance *i32
ReadInput u8 *u8
ReadInputByte u8 *u8
ReadLastQuietCommandStack
ReadMaxStack *u16
ReadNbOfSamples *u8 *u16 *u32
ReadPermanentParam u8 buf
ReadPosRegGains *i16 *i16 *i16
ReadPosVelCur *i32 *f32 *i16
ReadPosVelCurIsMust *i32 *f32 *i16 *i32 *f32 *i16
ReadPosVelCurMean *i32 *f32 *i16
ReadPosVelCurMust *i32 *f32 *i16
ReadPosition *i32
ReadPositionIsMust *i32 *i32
ReadPositionMust *i32
ReadProfile *u8 *f32 *f32 *f32
ReadRecordedData u8 u16 u16 *u8 buf
ReadSysTime *u32
ReadTempParam u8 buf
ReadVelocity *f32
ReadVelocityIsMust *f32 *f32
ReadVelocityMean *f32
ReadVelocityMust *f32
ReadVersion *u16 *u16 *u16 *u16 *u16 *u16
ReadWarning *i16
RecordData u8
ResetSlave u8
ResetTempParam
SetAllPermParam in
SetAllPermParamEx in
SetAllPermUsr1Param in u32
SetAllPermUsr2Param in u32
SetAllTempParam in
SetAllTempParamEx in
SetAllTempUsr1Param in u32
SetAllTempUsr2Param in u32
SetCurRegGains i16 i16 i16
SetCurrent i16
SetOutput u8 u8
SetOutputByte u8
SetPWM i16 u8
SetPosRegGains i16 i16 i16
SetPosVelocity f32
SetProfile u8 f32 f32
SetRegMode u8
SetTempParam u8 i32
SetUserPWM i16
SetVelocity f32
SetVelocityInfo f32 *u8 *u32
SetWaitMode u8
SetupRecorder u16 u8 u8
SquareCurrentTest u16 u32
StartMovement
StopMotion u8
StopStackingCommands
UpdatePermParam
WaitForInput u8 u8 u32
WaitForPosition i32 u32
WaitForTargetPos u32
WaitTime u32
"""

COMMANDS = {line.split()[0]: tuple(line.split()[1:]) for line in _TABLE.strip().splitlines()}
