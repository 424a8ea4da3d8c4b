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
KELCMD_API int32_t MP_GetString(const char* portName, uint8_t slave, char* buffer,
                                uint32_t length);
KELCMD_API int32_t MP_PutWord_Dec(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutWord_Hex(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutWord_Bin(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutInt_Dec(const char* portName, uint8_t slave, int16_t data,
                                 uint8_t width);
KELCMD_API int32_t MP_PutLWord_Dec(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width);
KELCMD_API int32_t MP_PutLWord_Hex(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width);
KELCMD_API int32_t MP_PutLong_Dec(const char* portName, uint8_t slave, int32_t data,
                                  uint8_t width);
KELCMD_API int32_t MP_PutByte_Bin(const char* portName, uint8_t slave, uint8_t data,
                                  uint8_t width);
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
KELCMD_API int32_t MP_SquareCurrentTest(const char* portName, uint8_t slave,
                                        uint16_t jumpAmplitude, uint32_t timeout);
KELCMD_API int32_t MP_SetPWM(const char* portName, uint8_t slave, int16_t dutyCycle,
                             uint8_t stayInPWMmode);

#ifdef __cplusplus
}
#endif

#endif
