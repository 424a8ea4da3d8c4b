/**
 * \file kelcmd.h
 * \brief KelCmd: control of KelBus motor-control units over a serial line.
 *
 * Command functions return 1 on success and 0 on failure; bus-level functions (KEB_...) return a
 * communication result code, 0 meaning success. Output arguments are written only on success. The
 * plain forms use the current port (KEB_InitKelBus) and the current slave (SelectSlave); the MP_
 * forms name both.
 *
 * Threads: every function runs on its caller's thread. Exchanges on one port never interleave,
 * different ports run in parallel. The current port and slave are shared by all threads; opening
 * and closing ports must not run while another thread executes commands on the same port.
 */
#ifndef KELCMD_KELCMD_H
#define KELCMD_KELCMD_H

#include <stdint.h>

#include "kelcmd/kebpacket.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KELCMD_BUILDING_LIBRARY)
#define KELCMD_API __attribute__((visibility("default")))
#else
#define KELCMD_API
#endif

/** Bus control of KEB_InitKelBus: the library drives RTS to switch an RS485 line's direction. */
#define KEB_RTS_CONTROL 0
/** Bus control of KEB_InitKelBus: the adapter switches direction itself. */
#define KEB_AUTO_CONTROL 1

/**
 * \name Communication result codes
 * What the bus-level functions return, what the error callback hears as `error`. As a transfer
 * result 0 means success; as the error of a failed command it is the unit's refusal CMD_FAIL.
 * 0 to 6 are the refusal reasons a unit sends. KEB_GetResultText gives each one's text.
 * \{
 */
#define KEB_RESULT_OK 0           /**< The transfer succeeded. */
#define KEB_CMD_FAIL 0            /**< Refusal: command not executed. */
#define KEB_UNKNOWN 1             /**< Refusal: unknown command. */
#define KEB_BAD_PRM 2             /**< Refusal: bad parameter. */
#define KEB_BAD_LEN 3             /**< Refusal: bad parameter length; also an answer too short. */
#define KEB_BATCH_FAIL 6          /**< Refusal: a member of a batch failed. */
#define KEB_RCV_ERR_CRC 11        /**< The answer's check sum is wrong. */
#define KEB_RCV_ERR_LENGTH 12     /**< The answer's length check is wrong. */
#define KEB_RCV_ERR_ID 13         /**< The answer is not addressed to the PC. */
#define KEB_RCV_ERR_T0 14         /**< No answer began within the timeout. */
#define KEB_RCV_ERR_T1 15         /**< The answer stopped before its end. */
#define KEB_XMT_ERR_CRC 16        /**< The unit acknowledged negatively (it saw a bad check sum). */
#define KEB_XMT_ERR_TACK 17       /**< No acknowledge: the unit is off or not connected. */
#define KEB_XMT_ERR_ACK 18        /**< The acknowledge byte was corrupted. */
#define KEB_WIN_ERR_OPENCOMM 128  /**< The port could not be opened. */
#define KEB_WIN_ERR_WRITECOMM 129 /**< Writing the port failed, or no such open port. */
#define KEB_WIN_ERR_READCOMM 130  /**< Reading the port failed, or no such open port. */
#define KEB_WIN_ERR_SETCOMM 131   /**< The port's line settings could not be set. */
#define KEB_WIN_ERR_GETCOMM 132   /**< The port's line settings could not be read. */
#define KEB_WIN_ERR_WAITEVENT 133 /**< Waiting for the line failed. */
#define KEB_WIN_ERR_ESCAPE 134    /**< A line control (RTS, break) failed. */
#define KEB_WIN_ERR_CLOSECOMM 135 /**< No such open port to close, or closing failed. */
#define KEB_NO_COMMAND 255        /**< No command was sent. */
/** \} */

/**
 * Called on the executing thread whenever a command fails. It is kept by the port: closing the
 * port drops it, so install it again after reopening (InitKelCommander).
 * \param messageType the message type of the failing command; for a failed batch, the code of
 *        the member that failed
 * \param error the communication result code (KEB_...), or the unit's refusal reason 0 to 6
 * \param warning the unit's warning, 0 for none
 * \param batchFlag 1 when the failing request was a batch, else 0
 */
typedef void (*KelErrorCallback)(uint8_t messageType, uint8_t error, int16_t warning,
                                 uint32_t batchFlag);

/**
 * \brief Opens (or reopens) a port and makes it the current port.
 *
 * The port name becomes the current port first; a port already open under that name is closed
 * and opened again with the new settings (when that fails it is gone from the port table, with
 * its error callback). The device is the name's mapping (KEB_MapPort, KELCMD_PORTS); without one,
 * "Com1" is the simulated bus. Safe from any thread, but not while another thread executes
 * commands on the same port.
 * \param baudrate the line's rate in baud
 * \param portName the port's name, such as "Com1"
 * \param busControl KEB_RTS_CONTROL or KEB_AUTO_CONTROL
 * \param timeout the answer timeout in ms of the frames sent on this port
 * \param receiveTrials how often a damaged answer is asked for again
 * \return KEB_RESULT_OK, or KEB_WIN_ERR_OPENCOMM (KEB_GetLastSystemError says why) and the other
 *         port codes
 */
KELCMD_API uint8_t KEB_InitKelBus(uint32_t baudrate, const char* portName, uint8_t busControl,
                                  uint32_t timeout, uint32_t receiveTrials);
/**
 * \brief Opens a port with the default settings, or reopens a known one with its stored settings.
 * The current port stays as it is.
 * \param portName the port's name
 * \return KEB_RESULT_OK or a port code such as KEB_WIN_ERR_OPENCOMM
 */
KELCMD_API uint8_t KEB_OpenKelBus(const char* portName);
/**
 * \brief Closes the current port and removes it, with its error callback, from the port table.
 * \return KEB_RESULT_OK; KEB_WIN_ERR_CLOSECOMM when it is not open
 */
KELCMD_API uint8_t KEB_CloseKelBus(void);
/**
 * \brief Closes the named port and removes it, with its error callback, from the port table.
 * \param portName the port's name
 * \return KEB_RESULT_OK; KEB_WIN_ERR_CLOSECOMM when it is not open
 */
KELCMD_API uint8_t KEB_CloseKelBusPort(const char* portName);
/**
 * \brief The settings of a port in the port table. Each non-null output is written.
 * \param portName the port's name
 * \param[out] baudrate its rate in baud
 * \param[out] busControl KEB_RTS_CONTROL or KEB_AUTO_CONTROL
 * \param[out] timeout its answer timeout in ms
 * \param[out] receiveTrials its receive trials
 * \return 1 when the port is in the port table, else 0
 */
KELCMD_API int32_t KEB_GetKelBusSettings(const char* portName, uint32_t* baudrate,
                                         uint8_t* busControl, uint32_t* timeout,
                                         uint32_t* receiveTrials);
/**
 * \brief The baud rate of the current port.
 * \return the rate, 0 when the current port is not in the port table
 */
KELCMD_API uint32_t KEB_GetBaudrate(void);
/**
 * \brief The current port's name.
 * \param[out] buffer receives the name with its terminator
 * \param bufferSize the size of buffer in bytes
 * \return 1 when the name fitted; 0, writing nothing, when it is as long as bufferSize or longer
 */
KELCMD_API int32_t KEB_GetStandardPortName(char* buffer, uint32_t bufferSize);
/**
 * \brief Sends a raw frame on the current port and reads the unit's acknowledge.
 *
 * Destination, length, message type and data go out as the packet says; the library sets the
 * sender (0, the PC) and computes the length check and the CRC. Raw frames take the port's lock
 * like commands, so they never interleave with another thread's exchange; they do not call the
 * error callback.
 * \param packet the frame to send
 * \return KEB_RESULT_OK when acknowledged, a KEB_XMT_ERR_... code, KEB_BAD_LEN for a length above
 *         1023 (nothing sent), or KEB_WIN_ERR_WRITECOMM when the current port is not open
 */
KELCMD_API uint8_t KEB_SendPacket(KebPacket* packet);
/**
 * \brief Sends a raw frame on the current port until it is acknowledged, at most the port's
 * receive trials times.
 * \param packet the frame to send
 * \return as KEB_SendPacket, for the last attempt
 */
KELCMD_API uint8_t KEB_SendPacketRetry(KebPacket* packet);
/**
 * \brief Receives one raw frame on the current port; the answer, complete or partial, is copied
 * into the packet.
 * \param[out] packet receives the frame
 * \param timeout how long to wait for its first byte in ms (0: without limit)
 * \return KEB_RESULT_OK, a KEB_RCV_ERR_... code, or KEB_WIN_ERR_READCOMM when the current port is
 *         not open
 */
KELCMD_API uint8_t KEB_ReceivePacket(KebPacket* packet, uint32_t timeout);
/**
 * \brief Receives one raw frame on the current port, asking for a damaged one again, at most the
 * port's receive trials times.
 * \param[out] packet receives the frame
 * \param timeout how long to wait for its first byte in ms (0: without limit)
 * \return as KEB_ReceivePacket, for the last reception
 */
KELCMD_API uint8_t KEB_ReceivePacketRetry(KebPacket* packet, uint32_t timeout);
/**
 * \brief KEB_SendPacket on the named port.
 * \param portName the port's name
 * \param packet the frame to send
 * \return as KEB_SendPacket
 */
KELCMD_API uint8_t MP_KEB_SendPacket(const char* portName, KebPacket* packet);
/**
 * \brief KEB_SendPacketRetry on the named port.
 * \param portName the port's name
 * \param packet the frame to send
 * \return as KEB_SendPacketRetry
 */
KELCMD_API uint8_t MP_KEB_SendPacketRetry(const char* portName, KebPacket* packet);
/**
 * \brief KEB_ReceivePacket on the named port.
 * \param portName the port's name
 * \param[out] packet receives the frame
 * \param timeout how long to wait for its first byte in ms (0: without limit)
 * \return as KEB_ReceivePacket
 */
KELCMD_API uint8_t MP_KEB_ReceivePacket(const char* portName, KebPacket* packet, uint32_t timeout);
/**
 * \brief KEB_ReceivePacketRetry on the named port.
 * \param portName the port's name
 * \param[out] packet receives the frame
 * \param timeout how long to wait for its first byte in ms (0: without limit)
 * \return as KEB_ReceivePacketRetry
 */
KELCMD_API uint8_t MP_KEB_ReceivePacketRetry(const char* portName, KebPacket* packet,
                                             uint32_t timeout);

/**
 * \brief Maps a port name to a device: a tty path ("/dev/ttyUSB0") or a simulated bus ("sim",
 * "sim:1-3"). Overrides KELCMD_PORTS.
 * \param portName the port's name
 * \param device the device; an empty or null device removes the mapping
 * \return 1 on success, 0 for a null or empty port name
 */
KELCMD_API int32_t KEB_MapPort(const char* portName, const char* device);

/**
 * \brief The operating system's reason of the last failed open or I/O on a port made by the
 * calling thread.
 *
 * Opening a port starts afresh, so after a failed KEB_InitKelBus this is that open's reason; a
 * port name that names no device reads ENODEV. Unlike the other functions it writes its outputs
 * in both cases.
 * \param[out] errorNumber receives the errno (0 when none); may be null
 * \param[out] text receives a text such as "open /dev/ttyUSB9: No such file or directory", cut
 *             to textSize - 1 characters and always terminated (empty when none); may be null
 * \param textSize the size of text in bytes; 0 writes no text
 * \return 1 when a reason is recorded, 0 when none
 */
KELCMD_API int32_t KEB_GetLastSystemError(int32_t* errorNumber, char* text, uint32_t textSize);

/**
 * \name Outcome status
 * How the calling thread's last command, packet function or port opening ended
 * (KebOutcome::status).
 * \{
 */
#define KEB_OUTCOME_NONE 0      /**< Nothing has run on this thread yet. */
#define KEB_OUTCOME_SUCCEEDED 1 /**< The exchange went through; the unit did what was asked. */
#define KEB_OUTCOME_STACKED 2   /**< Added to the thread's command stack, nothing sent yet. */
#define KEB_OUTCOME_NOT_SENT                                                                    \
    3                             /**< Stopped before the line: an argument, no such port, or a \
                                       port reserved by another thread. */
#define KEB_OUTCOME_LINE_FAILED 4 /**< The transfer or the port failed: result says how. */
#define KEB_OUTCOME_REFUSED 5     /**< The unit refused: unitError is its reason (0: CMD_FAIL). */
#define KEB_OUTCOME_BAD_ANSWER 6  /**< An answer without every value it must carry (BAD_LEN). */
#define KEB_OUTCOME_INTERNAL_ERROR 7 /**< The library failed inside (out of memory). */
/** \} */

/** How the calling thread's last command, packet function or port opening ended. */
typedef struct KebOutcome {
    uint32_t size;              /**< Set by the caller: sizeof(KebOutcome). */
    uint32_t status;            /**< KEB_OUTCOME_... */
    uint8_t result;             /**< Communication result code of the transfer or opening; for a
                                     packet function what it returned; KEB_NO_COMMAND when a command
                                     was not sent. */
    uint8_t messageType;        /**< The request's message type; a failed batch's failing member. */
    uint8_t batch;              /**< 1 when the request was a batch. */
    uint8_t unitError;          /**< KEB_OUTCOME_REFUSED: the unit's reason, 0 to 6. */
    int32_t unitWarning;        /**< KEB_OUTCOME_REFUSED: the unit's warning, 0 for none. */
    uint32_t trials;            /**< Receptions of the answer: more than 1 after resend requests. */
    uint32_t durationMs;        /**< From the request to the judged answer, in ms. */
    int32_t systemErrorNumber;  /**< errno of a failed port (result 128 to 135), else 0. */
    char systemErrorText[128];  /**< Its text as KEB_GetLastSystemError gives it, else empty; one
                                     above 127 characters loses the middle of its device path,
                                     else its end, each marked by "...". */
    uint32_t mayHaveExecuted;   /**< 1 when the unit executed or may have executed the request:
                                     always after SUCCEEDED; after LINE_FAILED or BAD_ANSWER
                                     when the request was acknowledged or an answer began. 0
                                     when it cannot have (nothing went out, or neither an
                                     acknowledge nor an answer byte came back) and after
                                     REFUSED. */
    uint32_t lineFramingErrors; /**< Framing errors on the line during the call, where the
                                     device counts them (a tty's kernel counters), else 0. */
    uint32_t lineParityErrors;  /**< Parity errors during the call, counted likewise. */
    uint32_t lineOverruns;      /**< Overruns during the call, counted likewise. */
    uint32_t lineBreaks;        /**< Breaks during the call, counted likewise. */
} KebOutcome;

/**
 * \brief How the calling thread's last command, packet function or port opening ended.
 *
 * Other threads' calls never show here.
 * \param[in,out] outcome the caller sets outcome->size to sizeof(KebOutcome) first; a larger size
 *                is accepted and only the fields above are written
 * \return 1 when filled; 0, writing nothing, for a null outcome or a size below this struct's
 */
KELCMD_API int32_t KEB_GetLastOutcome(KebOutcome* outcome);

/**
 * \brief The text of a communication result code: its name, " / " and a description, such as
 * "XMT_ERR_TACK / Timeout while waiting for ACK! (KEL is switched off!)".
 * \param code the result code
 * \param[out] text receives the text, cut to textSize - 1 characters and always terminated;
 *             nothing is written for a null text
 * \param textSize the size of text in bytes; 0 writes nothing
 * \return 1 for the codes above (0 reads as CMD_FAIL); 0 for KEB_NO_COMMAND and any other code,
 *         whose text is "Unknown error!"
 */
KELCMD_API int32_t KEB_GetResultText(uint8_t code, char* text, uint32_t textSize);

/**
 * \brief Sets the current slave that the plain command functions address, for all threads.
 * \param address the unit's address, 1 to 127 (128 to 255: a group, which never answers)
 */
KELCMD_API void SelectSlave(uint8_t address);
/**
 * \brief Installs the error callback on the current port (open it first with KEB_InitKelBus).
 * \param callback called on the executing thread whenever a command on this port fails; null
 *        removes it
 * \return 1 when the current port is in the port table, else 0
 */
KELCMD_API int32_t InitKelCommander(KelErrorCallback callback);
/**
 * \brief Installs the error callback on the named port.
 * \param portName the port's name
 * \param callback as for InitKelCommander
 * \return 1 when the port is in the port table, else 0
 */
KELCMD_API int32_t MP_InitKelCommander(const char* portName, KelErrorCallback callback);
/**
 * \brief The name and text of one of the unit's error numbers (ReadError).
 * \param code the error number
 * \param[out] name receives the short name, cut to nameSize - 1 characters and terminated
 * \param nameSize the size of name in bytes
 * \param[out] text receives the description, cut to textSize - 1 characters and terminated
 * \param textSize the size of text in bytes
 * \return 1
 */
KELCMD_API int32_t GetErrorText(int16_t code, char* name, uint32_t nameSize, char* text,
                                uint32_t textSize);
/**
 * \brief The name and text of one of the unit's warning numbers (ReadWarning).
 * \param code the warning number
 * \param[out] name receives the short name, cut to nameSize - 1 characters and terminated
 * \param nameSize the size of name in bytes
 * \param[out] text receives the description, cut to textSize - 1 characters and terminated
 * \param textSize the size of text in bytes
 * \return 1
 */
KELCMD_API int32_t GetWarningText(int16_t code, char* name, uint32_t nameSize, char* text,
                                  uint32_t textSize);

/*
 * Catalogue commands. Units: positions in qc (quadrature counts), velocities in qc/ms,
 * accelerations in qc/ms^2, currents in mA, times in ms. A timeout argument is also how long the
 * call waits for the unit's answer (0: without limit). Output pointers may be null when a value is
 * not wanted.
 */

/* Motion control: regulation mode, profile, moves, waits, stop, homing, position. */
KELCMD_API int32_t SetRegMode(uint8_t regmode);
KELCMD_API int32_t MP_SetRegMode(const char* portName, uint8_t slave, uint8_t regmode);
KELCMD_API int32_t SetProfile(uint8_t profiletype, float accel, float decel);
KELCMD_API int32_t MP_SetProfile(const char* portName, uint8_t slave, uint8_t profiletype,
                                 float accel, float decel);
KELCMD_API int32_t SetPosVelocity(float posVelocity);
KELCMD_API int32_t MP_SetPosVelocity(const char* portName, uint8_t slave, float posVelocity);
KELCMD_API int32_t SetWaitMode(uint8_t waitMode);
KELCMD_API int32_t MP_SetWaitMode(const char* portName, uint8_t slave, uint8_t waitMode);
KELCMD_API int32_t MoveAbsolute(int32_t position, uint32_t timeout);
KELCMD_API int32_t MP_MoveAbsolute(const char* portName, uint8_t slave, int32_t position,
                                   uint32_t timeout);
KELCMD_API int32_t MoveAbsoluteInfo(int32_t position, uint32_t timeout, uint8_t* flags,
                                    uint32_t* duration);
KELCMD_API int32_t MP_MoveAbsoluteInfo(const char* portName, uint8_t slave, int32_t position,
                                       uint32_t timeout, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t MoveRelative(int32_t relPosition, uint32_t timeout);
KELCMD_API int32_t MP_MoveRelative(const char* portName, uint8_t slave, int32_t relPosition,
                                   uint32_t timeout);
KELCMD_API int32_t MoveRelativeInfo(int32_t relPosition, uint32_t timeout, uint8_t* flags,
                                    uint32_t* duration);
KELCMD_API int32_t MP_MoveRelativeInfo(const char* portName, uint8_t slave, int32_t relPosition,
                                       uint32_t timeout, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t WaitForTargetPos(uint32_t timeout);
KELCMD_API int32_t MP_WaitForTargetPos(const char* portName, uint8_t slave, uint32_t timeout);
KELCMD_API int32_t SetVelocity(float velocity);
KELCMD_API int32_t MP_SetVelocity(const char* portName, uint8_t slave, float velocity);
KELCMD_API int32_t SetVelocityInfo(float velocity, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t MP_SetVelocityInfo(const char* portName, uint8_t slave, float velocity,
                                      uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t StopMotion(uint8_t stopMotion);
KELCMD_API int32_t MP_StopMotion(const char* portName, uint8_t slave, uint8_t stopMotion);
KELCMD_API int32_t FindHomeSys(uint32_t timeout);
KELCMD_API int32_t MP_FindHomeSys(const char* portName, uint8_t slave, uint32_t timeout);
KELCMD_API int32_t FindHome(uint8_t hometype, uint16_t current, float velocity, int32_t offset,
                            uint32_t timeout);
KELCMD_API int32_t MP_FindHome(const char* portName, uint8_t slave, uint8_t hometype,
                               uint16_t current, float velocity, int32_t offset, uint32_t timeout);
KELCMD_API int32_t FindHomeEx(uint8_t hometype, uint16_t current, float velocity, int32_t offset,
                              uint32_t timeout, int32_t homePosition);
KELCMD_API int32_t MP_FindHomeEx(const char* portName, uint8_t slave, uint8_t hometype,
                                 uint16_t current, float velocity, int32_t offset, uint32_t timeout,
                                 int32_t homePosition);
KELCMD_API int32_t FindIndex(float velocity, uint32_t timeout);
KELCMD_API int32_t MP_FindIndex(const char* portName, uint8_t slave, float velocity,
                                uint32_t timeout);
KELCMD_API int32_t DefinePosition(int32_t position);
KELCMD_API int32_t MP_DefinePosition(const char* portName, uint8_t slave, int32_t position);
KELCMD_API int32_t WaitForPosition(int32_t position, uint32_t timeout);
KELCMD_API int32_t MP_WaitForPosition(const char* portName, uint8_t slave, int32_t position,
                                      uint32_t timeout);
KELCMD_API int32_t ReadIndexDistance(int32_t* distance);
KELCMD_API int32_t MP_ReadIndexDistance(const char* portName, uint8_t slave, int32_t* distance);
KELCMD_API int32_t ReadProfile(uint8_t* profiletype, float* accel, float* decel, float* ceilVel);
KELCMD_API int32_t MP_ReadProfile(const char* portName, uint8_t slave, uint8_t* profiletype,
                                  float* accel, float* decel, float* ceilVel);

/* Motion info: position (qc), velocity (qc/ms) and current (mA), measured, commanded or mean. */
KELCMD_API int32_t ReadPosition(int32_t* positionIs);
KELCMD_API int32_t MP_ReadPosition(const char* portName, uint8_t slave, int32_t* positionIs);
KELCMD_API int32_t ReadPositionMust(int32_t* positionMust);
KELCMD_API int32_t MP_ReadPositionMust(const char* portName, uint8_t slave, int32_t* positionMust);
KELCMD_API int32_t ReadPositionIsMust(int32_t* positionIs, int32_t* positionMust);
KELCMD_API int32_t MP_ReadPositionIsMust(const char* portName, uint8_t slave, int32_t* positionIs,
                                         int32_t* positionMust);
KELCMD_API int32_t ReadVelocity(float* velocityIs);
KELCMD_API int32_t MP_ReadVelocity(const char* portName, uint8_t slave, float* velocityIs);
KELCMD_API int32_t ReadVelocityMean(float* velocityMean);
KELCMD_API int32_t MP_ReadVelocityMean(const char* portName, uint8_t slave, float* velocityMean);
KELCMD_API int32_t ReadVelocityMust(float* velocityMust);
KELCMD_API int32_t MP_ReadVelocityMust(const char* portName, uint8_t slave, float* velocityMust);
KELCMD_API int32_t ReadVelocityIsMust(float* velocityIs, float* velocityMust);
KELCMD_API int32_t MP_ReadVelocityIsMust(const char* portName, uint8_t slave, float* velocityIs,
                                         float* velocityMust);
KELCMD_API int32_t ReadCurrent(int16_t* currentIs);
KELCMD_API int32_t MP_ReadCurrent(const char* portName, uint8_t slave, int16_t* currentIs);
KELCMD_API int32_t ReadCurrentMean(int16_t* currentMean);
KELCMD_API int32_t MP_ReadCurrentMean(const char* portName, uint8_t slave, int16_t* currentMean);
KELCMD_API int32_t ReadCurrentMust(int16_t* currentMust);
KELCMD_API int32_t MP_ReadCurrentMust(const char* portName, uint8_t slave, int16_t* currentMust);
KELCMD_API int32_t ReadCurrentIsMust(int16_t* currentIs, int16_t* currentMust);
KELCMD_API int32_t MP_ReadCurrentIsMust(const char* portName, uint8_t slave, int16_t* currentIs,
                                        int16_t* currentMust);
KELCMD_API int32_t ReadPosVelCur(int32_t* positionIs, float* velocityIs, int16_t* currentIs);
KELCMD_API int32_t MP_ReadPosVelCur(const char* portName, uint8_t slave, int32_t* positionIs,
                                    float* velocityIs, int16_t* currentIs);
KELCMD_API int32_t ReadPosVelCurMean(int32_t* positionIs, float* velocityMean,
                                     int16_t* currentMean);
KELCMD_API int32_t MP_ReadPosVelCurMean(const char* portName, uint8_t slave, int32_t* positionIs,
                                        float* velocityMean, int16_t* currentMean);
KELCMD_API int32_t ReadPosVelCurMust(int32_t* positionMust, float* velocityMust,
                                     int16_t* currentMust);
KELCMD_API int32_t MP_ReadPosVelCurMust(const char* portName, uint8_t slave, int32_t* positionMust,
                                        float* velocityMust, int16_t* currentMust);
KELCMD_API int32_t ReadPosVelCurIsMust(int32_t* positionIs, float* velocityIs, int16_t* currentIs,
                                       int32_t* positionMust, float* velocityMust,
                                       int16_t* currentMust);
KELCMD_API int32_t MP_ReadPosVelCurIsMust(const char* portName, uint8_t slave, int32_t* positionIs,
                                          float* velocityIs, int16_t* currentIs,
                                          int32_t* positionMust, float* velocityMust,
                                          int16_t* currentMust);
KELCMD_API int32_t ReadAxisInfo(uint16_t* status, uint8_t* userInputs, uint8_t* predefinedInputs,
                                int32_t* positionIs, float* velocityMean, int16_t* currentMean);
KELCMD_API int32_t MP_ReadAxisInfo(const char* portName, uint8_t slave, uint16_t* status,
                                   uint8_t* userInputs, uint8_t* predefinedInputs,
                                   int32_t* positionIs, float* velocityMean, int16_t* currentMean);

/* Status: axis status word, the unit's error and warning numbers, and their clearing. */
KELCMD_API int32_t ReadAxisStatus(uint16_t* status);
KELCMD_API int32_t MP_ReadAxisStatus(const char* portName, uint8_t slave, uint16_t* status);
KELCMD_API int32_t ReadError(int16_t* error);
KELCMD_API int32_t MP_ReadError(const char* portName, uint8_t slave, int16_t* error);
KELCMD_API int32_t ClearError(void);
KELCMD_API int32_t MP_ClearError(const char* portName, uint8_t slave);
KELCMD_API int32_t ReadWarning(int16_t* warning);
KELCMD_API int32_t MP_ReadWarning(const char* portName, uint8_t slave, int16_t* warning);
KELCMD_API int32_t ClearWarning(void);
KELCMD_API int32_t MP_ClearWarning(const char* portName, uint8_t slave);

/* Multi axes: motions prepared on each unit, started together by StartMovement. */
KELCMD_API int32_t InitMoveAbsolute(int32_t position);
KELCMD_API int32_t MP_InitMoveAbsolute(const char* portName, uint8_t slave, int32_t position);
KELCMD_API int32_t InitMoveAbsoluteInfo(int32_t position, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t MP_InitMoveAbsoluteInfo(const char* portName, uint8_t slave, int32_t position,
                                           uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t InitMoveRelative(int32_t relPosition);
KELCMD_API int32_t MP_InitMoveRelative(const char* portName, uint8_t slave, int32_t relPosition);
KELCMD_API int32_t InitMoveRelativeInfo(int32_t relPosition, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t MP_InitMoveRelativeInfo(const char* portName, uint8_t slave, int32_t relPosition,
                                           uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t InitSetVelocity(float velocity);
KELCMD_API int32_t MP_InitSetVelocity(const char* portName, uint8_t slave, float velocity);
KELCMD_API int32_t InitSetVelocityInfo(float velocity, uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t MP_InitSetVelocityInfo(const char* portName, uint8_t slave, float velocity,
                                          uint8_t* flags, uint32_t* duration);
KELCMD_API int32_t StartMovement(void);
KELCMD_API int32_t MP_StartMovement(const char* portName, uint8_t slave);

/* Exception: reset (acknowledged only, never answered), halt, brake. */
KELCMD_API int32_t ResetSlave(uint8_t bootmode);
KELCMD_API int32_t MP_ResetSlave(const char* portName, uint8_t slave, uint8_t bootmode);
KELCMD_API int32_t HaltFunction(void);
KELCMD_API int32_t MP_HaltFunction(const char* portName, uint8_t slave);
KELCMD_API int32_t BrakeFunction(void);
KELCMD_API int32_t MP_BrakeFunction(const char* portName, uint8_t slave);

/* Miscellaneous: system time, timed wait, fixed current, power stage status, stack level. */
KELCMD_API int32_t ReadSysTime(uint32_t* time);
KELCMD_API int32_t MP_ReadSysTime(const char* portName, uint8_t slave, uint32_t* time);
KELCMD_API int32_t WaitTime(uint32_t time);
KELCMD_API int32_t MP_WaitTime(const char* portName, uint8_t slave, uint32_t time);
KELCMD_API int32_t SetCurrent(int16_t current);
KELCMD_API int32_t MP_SetCurrent(const char* portName, uint8_t slave, int16_t current);
KELCMD_API int32_t ReadECStatus(uint8_t* status, uint8_t* temperatur);
KELCMD_API int32_t MP_ReadECStatus(const char* portName, uint8_t slave, uint8_t* status,
                                   uint8_t* temperatur);
KELCMD_API int32_t ReadMaxStack(uint16_t* stackLevel);
KELCMD_API int32_t MP_ReadMaxStack(const char* portName, uint8_t slave, uint16_t* stackLevel);

/* Input/output: digital inputs and outputs, analog inputs, user PWM. */
KELCMD_API int32_t ReadInput(uint8_t inputNb, uint8_t* state);
KELCMD_API int32_t MP_ReadInput(const char* portName, uint8_t slave, uint8_t inputNb,
                                uint8_t* state);
KELCMD_API int32_t ReadInputByte(uint8_t portNb, uint8_t* state);
KELCMD_API int32_t MP_ReadInputByte(const char* portName, uint8_t slave, uint8_t portNb,
                                    uint8_t* state);
KELCMD_API int32_t WaitForInput(uint8_t inputNb, uint8_t state, uint32_t timeout);
KELCMD_API int32_t MP_WaitForInput(const char* portName, uint8_t slave, uint8_t inputNb,
                                   uint8_t state, uint32_t timeout);
KELCMD_API int32_t SetOutput(uint8_t outputNb, uint8_t state);
KELCMD_API int32_t MP_SetOutput(const char* portName, uint8_t slave, uint8_t outputNb,
                                uint8_t state);
KELCMD_API int32_t SetOutputByte(uint8_t state);
KELCMD_API int32_t MP_SetOutputByte(const char* portName, uint8_t slave, uint8_t state);
KELCMD_API int32_t ReadAnalogInput(uint8_t channel, uint16_t* value);
KELCMD_API int32_t MP_ReadAnalogInput(const char* portName, uint8_t slave, uint8_t channel,
                                      uint16_t* value);
KELCMD_API int32_t SetUserPWM(int16_t dutycycle);
KELCMD_API int32_t MP_SetUserPWM(const char* portName, uint8_t slave, int16_t dutycycle);

/*
 * Recorder, the unit's RS232 line, autotuning.
 *
 * ReadRecordedData writes all 511 values of the answer into `data` (1022 bytes); the first
 * nbOfSamples of them are the samples asked for (at most 511). PutString sends exactly `length`
 * bytes; GetString writes exactly `length` bytes (at most 1023); neither adds a terminator.
 */
KELCMD_API int32_t SetupRecorder(uint16_t period, uint8_t dataType, uint8_t autoRecord);
KELCMD_API int32_t MP_SetupRecorder(const char* portName, uint8_t slave, uint16_t period,
                                    uint8_t dataType, uint8_t autoRecord);
KELCMD_API int32_t RecordData(uint8_t regulator);
KELCMD_API int32_t MP_RecordData(const char* portName, uint8_t slave, uint8_t regulator);
KELCMD_API int32_t ReadNbOfSamples(uint8_t* terminated, uint16_t* nbOfSamples, uint32_t* period);
KELCMD_API int32_t MP_ReadNbOfSamples(const char* portName, uint8_t slave, uint8_t* terminated,
                                      uint16_t* nbOfSamples, uint32_t* period);
KELCMD_API int32_t ReadRecordedData(uint8_t vector, uint16_t firstSample, uint16_t nbOfSamples,
                                    uint8_t* dataType, int16_t* data);
KELCMD_API int32_t MP_ReadRecordedData(const char* portName, uint8_t slave, uint8_t vector,
                                       uint16_t firstSample, uint16_t nbOfSamples,
                                       uint8_t* dataType, int16_t* data);

KELCMD_API int32_t PutChar(uint8_t character);
KELCMD_API int32_t PutString(const char* string, uint32_t length);
KELCMD_API int32_t IsCharAvailable(uint8_t* available);
KELCMD_API int32_t GetChar(uint8_t* character);
KELCMD_API int32_t GetString(char* buffer, uint32_t length);
KELCMD_API int32_t PutWord_Dec(uint16_t data, uint8_t width);
KELCMD_API int32_t PutWord_Hex(uint16_t data, uint8_t width);
KELCMD_API int32_t PutWord_Bin(uint16_t data, uint8_t width);
KELCMD_API int32_t PutInt_Dec(int16_t data, uint8_t width);
KELCMD_API int32_t PutLWord_Dec(uint32_t data, uint8_t width);
KELCMD_API int32_t PutLWord_Hex(uint32_t data, uint8_t width);
KELCMD_API int32_t PutLong_Dec(int32_t data, uint8_t width);
KELCMD_API int32_t PutByte_Bin(uint8_t data, uint8_t width);
KELCMD_API int32_t PutFloat_Dec(float data, uint8_t representation, uint8_t totalWidth,
                                uint8_t decimalPlaces);
KELCMD_API int32_t GetWord_Dec(uint16_t* data);
KELCMD_API int32_t GetWord_Hex(uint16_t* data);
KELCMD_API int32_t GetInt_Dec(int16_t* data);
KELCMD_API int32_t GetLWord_Dec(uint32_t* data);
KELCMD_API int32_t GetLWord_Hex(uint32_t* data);
KELCMD_API int32_t GetLong_Dec(int32_t* data);
KELCMD_API int32_t GetFloat_Dec(float* data);
KELCMD_API int32_t MP_PutChar(const char* portName, uint8_t slave, uint8_t character);
KELCMD_API int32_t MP_PutString(const char* portName, uint8_t slave, const char* string,
                                uint32_t length);
KELCMD_API int32_t MP_IsCharAvailable(const char* portName, uint8_t slave, uint8_t* available);
KELCMD_API int32_t MP_GetChar(const char* portName, uint8_t slave, uint8_t* character);
KELCMD_API int32_t MP_GetString(const char* portName, uint8_t slave, char* buffer, uint32_t length);
KELCMD_API int32_t MP_PutWord_Dec(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutWord_Hex(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutWord_Bin(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutInt_Dec(const char* portName, uint8_t slave, int16_t data, uint8_t width);
KELCMD_API int32_t MP_PutLWord_Dec(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width);
KELCMD_API int32_t MP_PutLWord_Hex(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width);
KELCMD_API int32_t MP_PutLong_Dec(const char* portName, uint8_t slave, int32_t data, uint8_t width);
KELCMD_API int32_t MP_PutByte_Bin(const char* portName, uint8_t slave, uint8_t data, uint8_t width);
KELCMD_API int32_t MP_PutFloat_Dec(const char* portName, uint8_t slave, float data,
                                   uint8_t representation, uint8_t totalWidth,
                                   uint8_t decimalPlaces);
KELCMD_API int32_t MP_GetWord_Dec(const char* portName, uint8_t slave, uint16_t* data);
KELCMD_API int32_t MP_GetWord_Hex(const char* portName, uint8_t slave, uint16_t* data);
KELCMD_API int32_t MP_GetInt_Dec(const char* portName, uint8_t slave, int16_t* data);
KELCMD_API int32_t MP_GetLWord_Dec(const char* portName, uint8_t slave, uint32_t* data);
KELCMD_API int32_t MP_GetLWord_Hex(const char* portName, uint8_t slave, uint32_t* data);
KELCMD_API int32_t MP_GetLong_Dec(const char* portName, uint8_t slave, int32_t* data);
KELCMD_API int32_t MP_GetFloat_Dec(const char* portName, uint8_t slave, float* data);

/* toTune 1 current, 2 position regulator; dutyCycle in 1/266 of the full cycle. */
KELCMD_API int32_t InitAutotune(uint8_t toTune, uint8_t startParam, uint8_t costFunction,
                                uint8_t extent);
KELCMD_API int32_t Autotune(int16_t* improveFactor);
KELCMD_API int32_t SquareCurrentTest(uint16_t jumpAmplitude, uint32_t timeout);
KELCMD_API int32_t SetPWM(int16_t dutyCycle, uint8_t stayInPWMmode);
KELCMD_API int32_t MP_InitAutotune(const char* portName, uint8_t slave, uint8_t toTune,
                                   uint8_t startParam, uint8_t costFunction, uint8_t extent);
KELCMD_API int32_t MP_Autotune(const char* portName, uint8_t slave, int16_t* improveFactor);
KELCMD_API int32_t MP_SquareCurrentTest(const char* portName, uint8_t slave, uint16_t jumpAmplitude,
                                        uint32_t timeout);
KELCMD_API int32_t MP_SetPWM(const char* portName, uint8_t slave, int16_t dutyCycle,
                             uint8_t stayInPWMmode);

/*
 * Command stack: the calling thread's commands for a port and slave are collected instead of sent
 * (each command export then returns 1 at once) and sent later as one batch. Out-arguments of the
 * collected commands are written when the batch's answer arrives, so they must still exist then.
 * The plain forms use the current port and slave.
 */
/** \brief Starts collecting the calling thread's commands for the current port and slave. */
KELCMD_API void StartStackingCommands(void);
/**
 * \brief Stops collecting for the current port and slave; the collection stays for execution.
 * \return 1 if a collection was found, else 0
 */
KELCMD_API int32_t StopStackingCommands(void);
/**
 * \brief Sends the collection for the current port and slave as one batch and writes each
 * member's out-arguments from the answer (collecting stops).
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t ExecuteCommandStack(void);
/**
 * \brief Sends the collection for the current port and slave as a quiet batch: the unit executes
 * it and keeps the results (ReadLastQuietCommandStack).
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t ExecuteQuietCommandStack(void);
/**
 * \brief Reads the results of the quiet batch that the unit executed last into the
 * out-arguments of the collection for the current port and slave.
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t ReadLastQuietCommandStack(void);
/**
 * \brief Starts collecting the calling thread's commands for the port and slave.
 * \param portName the port's name
 * \param slave the unit's address
 */
KELCMD_API void MP_StartStackingCommands(const char* portName, uint8_t slave);
/**
 * \brief StopStackingCommands for the port and slave.
 * \param portName the port's name
 * \param slave the unit's address
 * \return 1 if a collection was found, else 0
 */
KELCMD_API int32_t MP_StopStackingCommands(const char* portName, uint8_t slave);
/**
 * \brief ExecuteCommandStack for the port and slave.
 * \param portName the port's name
 * \param slave the unit's address
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t MP_ExecuteCommandStack(const char* portName, uint8_t slave);
/**
 * \brief ExecuteQuietCommandStack for the port and slave.
 * \param portName the port's name
 * \param slave the unit's address
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t MP_ExecuteQuietCommandStack(const char* portName, uint8_t slave);
/**
 * \brief ReadLastQuietCommandStack for the port and slave.
 * \param portName the port's name
 * \param slave the unit's address
 * \return 1 when the batch was answered positively, else 0
 */
KELCMD_API int32_t MP_ReadLastQuietCommandStack(const char* portName, uint8_t slave);

/* ---- System parameters and user parameters ------------------------------------------------- */

/**
 * The unit's system parameter set, short form (110 bytes). Packed: the offsets are those of the
 * unit's layout. Values are in the host's byte order; the library converts each field on the way
 * to and from the unit. Each field's text is its parameter number.
 */
#pragma pack(push, 1)
typedef struct T_SysParam {
    uint8_t axisNumber;               /**< Parameter 1. */
    uint8_t groupAddress;             /**< Parameter 6. */
    int16_t startUpMode;              /**< Parameter 2. */
    int32_t rs232Baudrate;            /**< Parameter 3. */
    int16_t rs232Mode;                /**< Parameter 4. */
    int32_t rs485Baudrate;            /**< Parameter 5. */
    uint16_t sysConfig;               /**< Parameter 7, switch bits. */
    int16_t sysConfig2;               /**< Parameter 8, switch bits. */
    int16_t supplyVoltage;            /**< Parameter 9. */
    int16_t changeCount;              /**< Parameter 0. */
    int16_t encoderResolution;        /**< Parameter 10. */
    int16_t maxVelocity;              /**< Parameter 11. */
    uint16_t minAccelerationTime;     /**< Parameter 12. */
    int16_t maxPeakCurrent;           /**< Parameter 13. */
    int16_t maxContinuousCurrent;     /**< Parameter 14. */
    float gearRatio;                  /**< Parameter 15. */
    float totalInertia;               /**< Parameter 16. */
    float torqueConstant;             /**< Parameter 17. */
    float speedConstant;              /**< Parameter 18. */
    int16_t currentDelta;             /**< Parameter 19. */
    int32_t maxPositionError;         /**< Parameter 20. */
    int32_t upperPositionLimit;       /**< Parameter 21. */
    int16_t enableUpperPositionLimit; /**< Parameter 22. */
    int32_t lowerPositionLimit;       /**< Parameter 23. */
    int16_t enableLowerPositionLimit; /**< Parameter 24. */
    int16_t positionGainP;            /**< Parameter 25. */
    int16_t positionGainI;            /**< Parameter 26. */
    int16_t positionGainD;            /**< Parameter 27. */
    int16_t currentGainP;             /**< Parameter 28. */
    int16_t currentGainI;             /**< Parameter 29. */
    int16_t homeType;                 /**< Parameter 30. */
    float homeVelocity;               /**< Parameter 31. */
    int16_t homeCurrentThreshold;     /**< Parameter 32. */
    int32_t homeOffsetPosition;       /**< Parameter 33. */
    int16_t maxPulseLengthSpeed;      /**< Parameter 34. */
    int16_t auxEncoderMode;           /**< Parameter 35. */
    float auxEncoderGain;             /**< Parameter 36. */
    int16_t brakeGain;                /**< Parameter 37. */
    int16_t homePositionHi;           /**< Parameter 38. */
    int16_t homePositionLo;           /**< Parameter 39. */
    int32_t rotorRevolution;          /**< Parameter 40. */
    int32_t loadRevolution;           /**< Parameter 41. */
} T_SysParam;

/** The extended form (256 bytes): the short set, the extension tag, 36 further words. */
typedef struct T_SysParamEx {
    T_SysParam sysParam;  /**< Parameters 0 to 41. */
    uint16_t extendTag;   /**< Parameter 42. */
    int32_t extParam[36]; /**< Parameters 43 to 78. */
} T_SysParamEx;
#pragma pack(pop)

/* Compile-time size checks that C99 understands: a negative array size fails the build. */
typedef char kelcmd_check_T_SysParam_is_110_bytes[sizeof(T_SysParam) == 110 ? 1 : -1];
typedef char kelcmd_check_T_SysParamEx_is_256_bytes[sizeof(T_SysParamEx) == 256 ? 1 : -1];

/*
 * Single parameters by number (0 to 78; higher numbers fail without sending). `value` receives
 * exactly the parameter's width: 1 byte (Byte), 2 (Word, Int) or 4 (LInt, Float). SetTempParam
 * sends that many low-order bytes of `value`; a Float parameter takes the number's bit pattern.
 */
KELCMD_API int32_t ReadTempParam(uint8_t paramNb, void* value);
KELCMD_API int32_t MP_ReadTempParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                    void* value);
KELCMD_API int32_t ReadPermanentParam(uint8_t paramNb, void* value);
KELCMD_API int32_t MP_ReadPermanentParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                         void* value);
KELCMD_API int32_t SetTempParam(uint8_t paramNb, int32_t value);
KELCMD_API int32_t MP_SetTempParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                   int32_t value);
/* The temporary set from the permanent one, and the temporary set stored permanently. */
KELCMD_API int32_t ResetTempParam(void);
KELCMD_API int32_t MP_ResetTempParam(const char* portName, uint8_t slave);
KELCMD_API int32_t UpdatePermParam(void);
KELCMD_API int32_t MP_UpdatePermParam(const char* portName, uint8_t slave);

/* Whole sets. The Set functions fail without sending when given no structure. */
KELCMD_API int32_t ReadAllTempParam(T_SysParam* sysParam);
KELCMD_API int32_t MP_ReadAllTempParam(const char* portName, uint8_t slave, T_SysParam* sysParam);
KELCMD_API int32_t ReadAllTempParamEx(T_SysParamEx* sysParamEx);
KELCMD_API int32_t MP_ReadAllTempParamEx(const char* portName, uint8_t slave,
                                         T_SysParamEx* sysParamEx);
KELCMD_API int32_t ReadAllPermParam(T_SysParam* sysParam);
KELCMD_API int32_t MP_ReadAllPermParam(const char* portName, uint8_t slave, T_SysParam* sysParam);
KELCMD_API int32_t ReadAllPermParamEx(T_SysParamEx* sysParamEx);
KELCMD_API int32_t MP_ReadAllPermParamEx(const char* portName, uint8_t slave,
                                         T_SysParamEx* sysParamEx);
KELCMD_API int32_t SetAllTempParam(const T_SysParam* sysParam);
KELCMD_API int32_t MP_SetAllTempParam(const char* portName, uint8_t slave,
                                      const T_SysParam* sysParam);
KELCMD_API int32_t SetAllTempParamEx(const T_SysParamEx* sysParamEx);
KELCMD_API int32_t MP_SetAllTempParamEx(const char* portName, uint8_t slave,
                                        const T_SysParamEx* sysParamEx);
KELCMD_API int32_t SetAllPermParam(const T_SysParam* sysParam);
KELCMD_API int32_t MP_SetAllPermParam(const char* portName, uint8_t slave,
                                      const T_SysParam* sysParam);
KELCMD_API int32_t SetAllPermParamEx(const T_SysParamEx* sysParamEx);
KELCMD_API int32_t MP_SetAllPermParamEx(const char* portName, uint8_t slave,
                                        const T_SysParamEx* sysParamEx);

/* Regulator gains and the unit's version words. */
KELCMD_API int32_t ReadCurRegGains(int16_t* gainP, int16_t* gainI, int16_t* gain3);
KELCMD_API int32_t MP_ReadCurRegGains(const char* portName, uint8_t slave, int16_t* gainP,
                                      int16_t* gainI, int16_t* gain3);
KELCMD_API int32_t SetCurRegGains(int16_t gainP, int16_t gainI, int16_t gain3);
KELCMD_API int32_t MP_SetCurRegGains(const char* portName, uint8_t slave, int16_t gainP,
                                     int16_t gainI, int16_t gain3);
KELCMD_API int32_t ReadPosRegGains(int16_t* gainP, int16_t* gainI, int16_t* gainD);
KELCMD_API int32_t MP_ReadPosRegGains(const char* portName, uint8_t slave, int16_t* gainP,
                                      int16_t* gainI, int16_t* gainD);
KELCMD_API int32_t SetPosRegGains(int16_t gainP, int16_t gainI, int16_t gainD);
KELCMD_API int32_t MP_SetPosRegGains(const char* portName, uint8_t slave, int16_t gainP,
                                     int16_t gainI, int16_t gainD);
KELCMD_API int32_t ReadVersion(uint16_t* cmdVer, uint16_t* libVer, uint16_t* hardRev,
                               uint16_t* bootVer, uint16_t* appNb, uint16_t* appVer);
KELCMD_API int32_t MP_ReadVersion(const char* portName, uint8_t slave, uint16_t* cmdVer,
                                  uint16_t* libVer, uint16_t* hardRev, uint16_t* bootVer,
                                  uint16_t* appNb, uint16_t* appVer);

/*
 * User parameter sets 1 and 2, temporary and permanent, as plain bytes (at most 1023). A read
 * fills at most min(bufferSize, 1023) bytes of `buffer`; `receivedLength` (may be null) receives
 * how many of them the unit sent (0 when the call fails). A write of more than 1023 bytes, or of
 * bytes without a pointer, fails without sending.
 */
KELCMD_API int32_t ReadAllTempUsr1Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength);
KELCMD_API int32_t MP_ReadAllTempUsr1Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength);
KELCMD_API int32_t ReadAllPermUsr1Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength);
KELCMD_API int32_t MP_ReadAllPermUsr1Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength);
KELCMD_API int32_t ReadAllTempUsr2Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength);
KELCMD_API int32_t MP_ReadAllTempUsr2Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength);
KELCMD_API int32_t ReadAllPermUsr2Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength);
KELCMD_API int32_t MP_ReadAllPermUsr2Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength);
KELCMD_API int32_t SetAllTempUsr1Param(const uint8_t* bytes, uint32_t count);
KELCMD_API int32_t MP_SetAllTempUsr1Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count);
KELCMD_API int32_t SetAllPermUsr1Param(const uint8_t* bytes, uint32_t count);
KELCMD_API int32_t MP_SetAllPermUsr1Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count);
KELCMD_API int32_t SetAllTempUsr2Param(const uint8_t* bytes, uint32_t count);
KELCMD_API int32_t MP_SetAllTempUsr2Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count);
KELCMD_API int32_t SetAllPermUsr2Param(const uint8_t* bytes, uint32_t count);
KELCMD_API int32_t MP_SetAllPermUsr2Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count);

/** \name Memory areas of CheckCRC
 * \{ */
#define KEL_MEM_FIRMWARE 0         /**< The firmware. */
#define KEL_MEM_SYSTEM_PARAMETER 1 /**< The permanent system parameters. */
#define KEL_MEM_USER_PARAMETER_1 2 /**< User parameter set 1. */
#define KEL_MEM_USER_PARAMETER_2 3 /**< User parameter set 2. */
/** \} */

/* Whether the unit's stored check sum of a memory area is valid, and the one it computed. */
KELCMD_API int32_t CheckCRC(uint8_t memArea, uint8_t* verResult, uint16_t* compCRC);
KELCMD_API int32_t MP_CheckCRC(const char* portName, uint8_t slave, uint8_t memArea,
                               uint8_t* verResult, uint16_t* compCRC);

/* ---- End of system parameters and user parameters ------------------------------------------ */

#ifdef __cplusplus
}
#endif

#endif
