/*
 * KelCmd: control of KelBus motor-control units over a serial line.
 *
 * Command functions return 1 on success and 0 on failure; bus-level functions (KEB_...) return a
 * communication result code, 0 meaning success. Output arguments are written only on success. The
 * plain forms use the current port (KEB_InitKelBus) and the current slave (SelectSlave); the MP_
 * forms name both.
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

/* Bus control of KEB_InitKelBus. */
#define KEB_RTS_CONTROL 0
#define KEB_AUTO_CONTROL 1

/*
 * Called on the executing thread whenever a command fails: the message type of the failing command
 * (for a failed batch, the code of the member that failed), the communication result code or the
 * unit's refusal reason, the unit's warning, and 1 when the failing request was a batch.
 */
typedef void (*KelErrorCallback)(uint8_t messageType, uint8_t error, int16_t warning,
                                 uint32_t batchFlag);

/* Port and bus level. */
KELCMD_API uint8_t KEB_InitKelBus(uint32_t baudrate, const char* portName, uint8_t busControl,
                                  uint32_t timeout, uint32_t receiveTrials);
KELCMD_API uint8_t KEB_OpenKelBus(const char* portName);
KELCMD_API uint8_t KEB_CloseKelBus(void);
KELCMD_API uint8_t KEB_CloseKelBusPort(const char* portName);
KELCMD_API int32_t KEB_GetKelBusSettings(const char* portName, uint32_t* baudrate,
                                         uint8_t* busControl, uint32_t* timeout,
                                         uint32_t* receiveTrials);
KELCMD_API uint32_t KEB_GetBaudrate(void);
KELCMD_API int32_t KEB_GetStandardPortName(char* buffer, uint32_t bufferSize);
KELCMD_API uint8_t KEB_SendPacket(KebPacket* packet);
KELCMD_API uint8_t KEB_SendPacketRetry(KebPacket* packet);
KELCMD_API uint8_t KEB_ReceivePacket(KebPacket* packet, uint32_t timeout);
KELCMD_API uint8_t KEB_ReceivePacketRetry(KebPacket* packet, uint32_t timeout);
KELCMD_API uint8_t MP_KEB_SendPacket(const char* portName, KebPacket* packet);
KELCMD_API uint8_t MP_KEB_SendPacketRetry(const char* portName, KebPacket* packet);
KELCMD_API uint8_t MP_KEB_ReceivePacket(const char* portName, KebPacket* packet, uint32_t timeout);
KELCMD_API uint8_t MP_KEB_ReceivePacketRetry(const char* portName, KebPacket* packet,
                                             uint32_t timeout);

/*
 * Maps a port name to a device: a tty path ("/dev/ttyUSB0") or a simulated bus ("sim",
 * "sim:1-3"). An empty or null device removes the mapping. Overrides KELCMD_PORTS. 1 on success.
 */
KELCMD_API int32_t KEB_MapPort(const char* portName, const char* device);

/* Current slave, error callback, texts of the unit's error and warning numbers. */
KELCMD_API void SelectSlave(uint8_t address);
KELCMD_API int32_t InitKelCommander(KelErrorCallback callback);
KELCMD_API int32_t MP_InitKelCommander(const char* portName, KelErrorCallback callback);
KELCMD_API int32_t GetErrorText(int16_t code, char* name, uint32_t nameSize, char* text,
                                uint32_t textSize);
KELCMD_API int32_t GetWarningText(int16_t code, char* name, uint32_t nameSize, char* text,
                                  uint32_t textSize);

/*
 * Command stack: the calling thread's commands for a port and slave are collected instead of sent
 * (each command export then returns 1 at once) and sent later as one batch. Out-arguments of the
 * collected commands are written when the batch's answer arrives, so they must still exist then.
 * The plain forms use the current port and slave. Stop: 1 if a collection was found. The execute
 * functions return 1 when the batch was answered positively, else 0.
 */
KELCMD_API void StartStackingCommands(void);
KELCMD_API int32_t StopStackingCommands(void);
KELCMD_API int32_t ExecuteCommandStack(void);
KELCMD_API int32_t ExecuteQuietCommandStack(void);
KELCMD_API int32_t ReadLastQuietCommandStack(void);
KELCMD_API void MP_StartStackingCommands(const char* portName, uint8_t slave);
KELCMD_API int32_t MP_StopStackingCommands(const char* portName, uint8_t slave);
KELCMD_API int32_t MP_ExecuteCommandStack(const char* portName, uint8_t slave);
KELCMD_API int32_t MP_ExecuteQuietCommandStack(const char* portName, uint8_t slave);
KELCMD_API int32_t MP_ReadLastQuietCommandStack(const char* portName, uint8_t slave);

#ifdef __cplusplus
}
#endif

#endif
