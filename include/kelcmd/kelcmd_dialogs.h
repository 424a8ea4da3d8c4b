/**
 * \file kelcmd_dialogs.h
 * \brief KelCmd dialogs: the interactive twins of the commands (libkelcmd-dialogs, Qt 6 Widgets).
 *
 * MP_<Command>Dlg(portName, slave) asks for the command's parameters, executes the command on the
 * port and slave, and shows its result. The dialog opens with the values last entered. An empty
 * port name or a slave of 0 is asked for first. Result: 1 when the command was executed and its
 * result shown; 0 when cancelled, when the command failed ("Command failed!" is shown), or when no
 * dialog can be shown.
 *
 * A host without Qt needs nothing more: the first dialog creates the Qt application object on the
 * calling thread, which from then on is the only thread that may show dialogs. Without a display
 * (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM), or on another thread, a dialog export returns 0
 * and writes the reason as one line on standard error. A host with its own QApplication calls
 * them from its GUI thread.
 */
#ifndef KELCMD_KELCMD_DIALOGS_H
#define KELCMD_KELCMD_DIALOGS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KELCMD_BUILDING_DIALOGS)
#define KELCMD_DIALOGS_API __attribute__((visibility("default")))
#else
#define KELCMD_DIALOGS_API
#endif

/* Ports. */
/**
 * \brief The "Communication" dialog for the current port: port name, baud rate, bus control,
 * timeout and receive trials. Confirmed, the port is opened with them and becomes the current port.
 * Call it on the GUI thread (the thread of the first dialog).
 * \return 1 when confirmed and the port opened, else 0
 */
KELCMD_DIALOGS_API int32_t KEB_InitKelBusDlg(void);
/**
 * \brief The port table editor: every port's name and settings.
 * \return 0 always
 */
KELCMD_DIALOGS_API int32_t KEB_MultiPortConfigurationDlg(void);

/* Status. */
KELCMD_DIALOGS_API int32_t MP_ReadAxisStatusDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadErrorDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadWarningDlg(const char* portName, uint8_t slave);

/* Exception. */
KELCMD_DIALOGS_API int32_t MP_ResetSlaveDlg(const char* portName, uint8_t slave);

/* Motion info. */
KELCMD_DIALOGS_API int32_t MP_ReadPositionDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPositionMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPositionIsMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadVelocityDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadVelocityMeanDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadVelocityMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadVelocityIsMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadCurrentDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadCurrentMeanDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadCurrentMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadCurrentIsMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPosVelCurDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPosVelCurMeanDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPosVelCurMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPosVelCurIsMustDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadAxisInfoDlg(const char* portName, uint8_t slave);

/* Miscellaneous. */
KELCMD_DIALOGS_API int32_t MP_ReadECStatusDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadMaxStackDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadSysTimeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetCurrentDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_WaitTimeDlg(const char* portName, uint8_t slave);

/* Inputs and outputs. */
KELCMD_DIALOGS_API int32_t MP_ReadAnalogInputDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadInputDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadInputByteDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetOutputDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetOutputByteDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetUserPWMDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_WaitForInputDlg(const char* portName, uint8_t slave);

/* Multi axes. */
KELCMD_DIALOGS_API int32_t MP_InitMoveAbsoluteDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitMoveAbsoluteInfoDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitMoveRelativeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitMoveRelativeInfoDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitSetVelocityDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitSetVelocityInfoDlg(const char* portName, uint8_t slave);

/* Motion control. MP_EditProfileDlg and MP_EditPosVelocityDlg read the profile, let it be edited
 * and write it back. */
KELCMD_DIALOGS_API int32_t MP_DefinePositionDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_FindHomeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_FindHomeExDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_FindHomeSysDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_FindIndexDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_MoveAbsoluteDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_MoveAbsoluteInfoDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_MoveRelativeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_MoveRelativeInfoDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadIndexDistanceDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetRegModeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetVelocityDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetVelocityInfoDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_SetWaitModeDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_StopMotionDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_WaitForPositionDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_WaitForTargetPosDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_EditProfileDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_EditPosVelocityDlg(const char* portName, uint8_t slave);

/* The unit's own RS232 line. */
KELCMD_DIALOGS_API int32_t MP_PutCharDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutStringDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_IsCharAvailableDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetCharDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetStringDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutWord_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutInt_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutLWord_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutLong_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutFloat_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutWord_HexDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutLWord_HexDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutByte_BinDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_PutWord_BinDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetWord_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetInt_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetLWord_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetLong_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetFloat_DecDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetWord_HexDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_GetLWord_HexDlg(const char* portName, uint8_t slave);

/* Single system parameters, the regulators' gains and the version. */
/**
 * \brief Reads one system parameter of the temporary set, lets it be edited and writes it back
 * (ReadTempParam, SetTempParam).
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the command was executed and its result shown; 0 when cancelled, when the command
 *         failed or when no dialog can be shown
 */
KELCMD_DIALOGS_API int32_t MP_EditTempParamDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadPermanentParamDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_EditCurRegGainsDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_EditPosRegGainsDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadVersionDlg(const char* portName, uint8_t slave);

/**
 * \brief The whole temporary system parameter set in a tabbed sheet: read (extended form, else the
 * short one), edited, and written back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllTempParamDlg(const char* portName, uint8_t slave);
/**
 * \brief The whole permanent system parameter set in a tabbed sheet: read (extended form, else the
 * short one), edited, and written back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllPermParamDlg(const char* portName, uint8_t slave);
/* Recorder, recorded data graph, autotuning and memory check sums. The polled data come as
 * nbOfSamples samples per curve, the period between them, and four pairs of a signal number and
 * the host's samples (a null pointer adds no curve). */
/**
 * \brief Reads the unit's recording (ReadNbOfSamples, ReadRecordedData) and shows it as a graph.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the graph was shown, else 0
 */
KELCMD_DIALOGS_API int32_t MP_DisplayRecordedDataDlg(const char* portName, uint8_t slave);
/**
 * \brief Shows samples that the host polled itself as a graph of up to four curves.
 * \param nbOfSamples the number of samples of each curve
 * \param period the time between two samples in ms
 * \param signal1 the signal number (what is recorded) of the first curve
 * \param data1 its samples, nbOfSamples of them; null adds no curve
 * \param signal2 the signal number of the second curve
 * \param data2 its samples; null adds no curve
 * \param signal3 the signal number of the third curve
 * \param data3 its samples; null adds no curve
 * \param signal4 the signal number of the fourth curve
 * \param data4 its samples; null adds no curve
 * \return 1 when the graph was shown, else 0
 */
KELCMD_DIALOGS_API int32_t MP_DisplayPolledDataDlg(uint16_t nbOfSamples, uint32_t period,
                                                   uint8_t signal1, const int16_t* data1,
                                                   uint8_t signal2, const int16_t* data2,
                                                   uint8_t signal3, const int16_t* data3,
                                                   uint8_t signal4, const int16_t* data4);
KELCMD_DIALOGS_API int32_t MP_SetupRecorderDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_RecordDataDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_ReadNbOfSamplesDlg(const char* portName, uint8_t slave);
/**
 * \brief Asks for the vector and the samples to read, runs ReadRecordedData and shows the samples.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the command was executed and its result shown; 0 when cancelled, when the command
 *         failed or when no dialog can be shown
 */
KELCMD_DIALOGS_API int32_t MP_ReadRecordedDataDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_InitAutotuneDlg(const char* portName, uint8_t slave);
/**
 * \brief Runs autotuning steps (Autotune) and shows the gains and the recorded response.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the command was executed and its result shown; 0 when cancelled, when the command
 *         failed or when no dialog can be shown
 */
KELCMD_DIALOGS_API int32_t MP_AutotuneDlg(const char* portName, uint8_t slave);
/**
 * \brief Asks for the current jump, runs SquareCurrentTest and shows the recorded response.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the command was executed and its result shown; 0 when cancelled, when the command
 *         failed or when no dialog can be shown
 */
KELCMD_DIALOGS_API int32_t MP_SquareCurrentTestDlg(const char* portName, uint8_t slave);
/**
 * \brief Asks for the duty cycle, runs SetPWM and shows the recorded response.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when the command was executed and its result shown; 0 when cancelled, when the command
 *         failed or when no dialog can be shown
 */
KELCMD_DIALOGS_API int32_t MP_SetPWMDlg(const char* portName, uint8_t slave);
KELCMD_DIALOGS_API int32_t MP_CheckCRCDlg(const char* portName, uint8_t slave);

/**
 * \brief The temporary user parameter set 1 edited through its structure: read, edited, written
 * back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllTempUsr1ParamDlg(const char* portName, uint8_t slave);
/**
 * \brief The permanent user parameter set 1 edited through its structure: read, edited, written
 * back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllPermUsr1ParamDlg(const char* portName, uint8_t slave);
/**
 * \brief The temporary user parameter set 2 edited through its structure: read, edited, written
 * back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllTempUsr2ParamDlg(const char* portName, uint8_t slave);
/**
 * \brief The permanent user parameter set 2 edited through its structure: read, edited, written
 * back on OK.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when written back, else 0
 */
KELCMD_DIALOGS_API int32_t MP_EditAllPermUsr2ParamDlg(const char* portName, uint8_t slave);

/* The command tree: browse and run every catalogue command, or the commands of the loaded
 * customer command sets. 1 when left by "&Exit"; the customer sets are replaced only then. */
/**
 * \brief The command tree: browse and run every catalogue command.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when left by "&Exit", else 0
 */
KELCMD_DIALOGS_API int32_t MP_ExecuteStandardCommandsDlg(const char* portName, uint8_t slave);
/**
 * \brief The command tree of the loaded customer command sets; they are replaced only when left by
 * "&Exit".
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 when left by "&Exit", else 0
 */
KELCMD_DIALOGS_API int32_t MP_ExecuteCustomerCommandsDlg(const char* portName, uint8_t slave);

/* "Batch Commanding": executes a batch of the store once or repeatedly; 1 on "&OK". */
/**
 * \brief "Batch Commanding": executes a batch of the store once or repeatedly.
 * \param portName the port's name; an empty name is asked for first
 * \param slave the unit's address; 0 is asked for first
 * \return 1 on "&OK", else 0
 */
KELCMD_DIALOGS_API int32_t MP_ExecuteBatchCommandsDlg(const char* portName, uint8_t slave);

#ifdef __cplusplus
}
#endif

#endif /* KELCMD_KELCMD_DIALOGS_H */
