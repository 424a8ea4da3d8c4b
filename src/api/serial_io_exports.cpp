// The exports of the unit's own RS232 line: characters, strings and formatted numbers.
#include "api/catalogue_call.h"
#include "api/current_target.h"
#include "api/serial_io_family.h"
#include "command/parameter_list.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

// The most data bytes a frame carries, in a request and in an answer.
constexpr uint32_t kMaxData = CParameterList::kMaxMessageLength;

// The subFunctionNumber stays the prototype's; the caller's values follow it.
int Put(const char* port, uint8_t slave, const char* command,
        std::initializer_list<SendArgument> values) {
    std::unique_ptr<CKelStandardCommand> call =
        PrepareCatalogueCall(&SerialIoFamily(), port, slave, command);
    if (!call) return 0;
    size_t index = 1;
    for (const SendArgument& value : values)
        call->SetSendValue(index++, value.Data(), value.Size());
    return ExecuteCatalogueCall(call.get());
}

template <class T>
int Get(const char* port, uint8_t slave, const char* command, T* out) {
    return CallCatalogue(&SerialIoFamily(), port, slave, command, {}, {Out(out)});
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_PutChar(const char* portName, uint8_t slave, uint8_t character) {
    return Put(portName, slave, "PutChar", {Value(character)});
}

// Exactly `length` bytes, no terminator added. A null string with a length, or more than a frame
// can carry, sends nothing.
KELCMD_API int32_t MP_PutString(const char* portName, uint8_t slave, const char* string,
                                uint32_t length) {
    if (string == nullptr && length != 0) return 0;
    if (length >= kMaxData) return 0;  // one byte of the frame is the sub-function
    return Put(portName, slave, "PutString", {Bytes(string, length)});
}

KELCMD_API int32_t MP_IsCharAvailable(const char* portName, uint8_t slave, uint8_t* available) {
    return Get(portName, slave, "IsCharAvailable", available);
}

KELCMD_API int32_t MP_GetChar(const char* portName, uint8_t slave, uint8_t* character) {
    return Get(portName, slave, "GetChar", character);
}

// `buffer` receives exactly `length` bytes from the answer, no terminator added. An answer
// carries at most 1023 bytes, so a longer request is refused before anything is sent.
KELCMD_API int32_t MP_GetString(const char* portName, uint8_t slave, char* buffer,
                                uint32_t length) {
    if (buffer == nullptr && length != 0) return 0;
    if (length > kMaxData) return 0;
    return CallCatalogue(&SerialIoFamily(), portName, slave, "GetString", {Keep()},
                         {OutBuffer(buffer, length)});
}

KELCMD_API int32_t MP_PutWord_Dec(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width) {
    return Put(portName, slave, "PutWord_Dec", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutWord_Hex(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width) {
    return Put(portName, slave, "PutWord_Hex", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutWord_Bin(const char* portName, uint8_t slave, uint16_t data,
                                  uint8_t width) {
    return Put(portName, slave, "PutWord_Bin", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutInt_Dec(const char* portName, uint8_t slave, int16_t data, uint8_t width) {
    return Put(portName, slave, "PutInt_Dec", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutLWord_Dec(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width) {
    return Put(portName, slave, "PutLWord_Dec", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutLWord_Hex(const char* portName, uint8_t slave, uint32_t data,
                                   uint8_t width) {
    return Put(portName, slave, "PutLWord_Hex", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutLong_Dec(const char* portName, uint8_t slave, int32_t data,
                                  uint8_t width) {
    return Put(portName, slave, "PutLong_Dec", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutByte_Bin(const char* portName, uint8_t slave, uint8_t data,
                                  uint8_t width) {
    return Put(portName, slave, "PutByte_Bin", {Value(data), Value(width)});
}

KELCMD_API int32_t MP_PutFloat_Dec(const char* portName, uint8_t slave, float data,
                                   uint8_t representation, uint8_t totalWidth,
                                   uint8_t decimalPlaces) {
    return Put(portName, slave, "PutFloat_Dec",
               {Value(data), Value(representation), Value(totalWidth), Value(decimalPlaces)});
}

KELCMD_API int32_t MP_GetWord_Dec(const char* portName, uint8_t slave, uint16_t* data) {
    return Get(portName, slave, "GetWord_Dec", data);
}

KELCMD_API int32_t MP_GetWord_Hex(const char* portName, uint8_t slave, uint16_t* data) {
    return Get(portName, slave, "GetWord_Hex", data);
}

KELCMD_API int32_t MP_GetInt_Dec(const char* portName, uint8_t slave, int16_t* data) {
    return Get(portName, slave, "GetInt_Dec", data);
}

KELCMD_API int32_t MP_GetLWord_Dec(const char* portName, uint8_t slave, uint32_t* data) {
    return Get(portName, slave, "GetLWord_Dec", data);
}

KELCMD_API int32_t MP_GetLWord_Hex(const char* portName, uint8_t slave, uint32_t* data) {
    return Get(portName, slave, "GetLWord_Hex", data);
}

KELCMD_API int32_t MP_GetLong_Dec(const char* portName, uint8_t slave, int32_t* data) {
    return Get(portName, slave, "GetLong_Dec", data);
}

KELCMD_API int32_t MP_GetFloat_Dec(const char* portName, uint8_t slave, float* data) {
    return Get(portName, slave, "GetFloat_Dec", data);
}

KELCMD_API int32_t PutChar(uint8_t character) {
    return MP_PutChar(CurrentPortName().c_str(), CurrentSlave(), character);
}

KELCMD_API int32_t PutString(const char* string, uint32_t length) {
    return MP_PutString(CurrentPortName().c_str(), CurrentSlave(), string, length);
}

KELCMD_API int32_t IsCharAvailable(uint8_t* available) {
    return MP_IsCharAvailable(CurrentPortName().c_str(), CurrentSlave(), available);
}

KELCMD_API int32_t GetChar(uint8_t* character) {
    return MP_GetChar(CurrentPortName().c_str(), CurrentSlave(), character);
}

KELCMD_API int32_t GetString(char* buffer, uint32_t length) {
    return MP_GetString(CurrentPortName().c_str(), CurrentSlave(), buffer, length);
}

KELCMD_API int32_t PutWord_Dec(uint16_t data, uint8_t width) {
    return MP_PutWord_Dec(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutWord_Hex(uint16_t data, uint8_t width) {
    return MP_PutWord_Hex(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutWord_Bin(uint16_t data, uint8_t width) {
    return MP_PutWord_Bin(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutInt_Dec(int16_t data, uint8_t width) {
    return MP_PutInt_Dec(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutLWord_Dec(uint32_t data, uint8_t width) {
    return MP_PutLWord_Dec(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutLWord_Hex(uint32_t data, uint8_t width) {
    return MP_PutLWord_Hex(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutLong_Dec(int32_t data, uint8_t width) {
    return MP_PutLong_Dec(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutByte_Bin(uint8_t data, uint8_t width) {
    return MP_PutByte_Bin(CurrentPortName().c_str(), CurrentSlave(), data, width);
}

KELCMD_API int32_t PutFloat_Dec(float data, uint8_t representation, uint8_t totalWidth,
                                uint8_t decimalPlaces) {
    return MP_PutFloat_Dec(CurrentPortName().c_str(), CurrentSlave(), data, representation,
                           totalWidth, decimalPlaces);
}

KELCMD_API int32_t GetWord_Dec(uint16_t* data) {
    return MP_GetWord_Dec(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetWord_Hex(uint16_t* data) {
    return MP_GetWord_Hex(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetInt_Dec(int16_t* data) {
    return MP_GetInt_Dec(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetLWord_Dec(uint32_t* data) {
    return MP_GetLWord_Dec(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetLWord_Hex(uint32_t* data) {
    return MP_GetLWord_Hex(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetLong_Dec(int32_t* data) {
    return MP_GetLong_Dec(CurrentPortName().c_str(), CurrentSlave(), data);
}

KELCMD_API int32_t GetFloat_Dec(float* data) {
    return MP_GetFloat_Dec(CurrentPortName().c_str(), CurrentSlave(), data);
}

}  // extern "C"
