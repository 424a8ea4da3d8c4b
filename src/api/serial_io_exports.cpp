// The exports of the unit's own RS232 line: characters, strings and formatted numbers.
#include "api/catalogue_call.h"
#include "api/export_guard.h"
#include "api/families.h"
#include "api/serial_io_family.h"
#include "command/parameter_list.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

// The most data bytes a frame carries, in a request and in an answer.
constexpr uint32_t kMaxData = CParameterList::kMaxMessageLength;

// The subFunctionNumber stays the prototype's; the caller's values follow it.
int32_t Put(const char* port, uint8_t slave, const char* command,
            std::initializer_list<SendArgument> values) {
    return GuardedCommand(SerialIoFamily(), port, command, [&] {
        std::unique_ptr<CKelStandardCommand> call =
            PrepareCatalogueCall(&SerialIoFamily(), port, slave, command);
        if (!call) return 0;
        size_t index = 1;
        for (const SendArgument& value : values)
            call->SetSendValue(index++, value.Data(), value.Size());
        return ExecuteCatalogueCall(call.get());
    });
}

template <class T>
int32_t Get(const char* port, uint8_t slave, const char* command, T* out) {
    return CallExport(SerialIoFamily(), port, slave, command, {}, {Out(out)});
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
    return GuardedCommand(SerialIoFamily(), portName, "PutString", [&] {
        if (string == nullptr && length != 0) return 0;
        if (length >= kMaxData) return 0;  // one byte of the frame is the sub-function
        return Put(portName, slave, "PutString", {Bytes(string, length)});
    });
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
    return GuardedCommand(SerialIoFamily(), portName, "GetString", [&] {
        if (buffer == nullptr && length != 0) return 0;
        if (length > kMaxData) return 0;
        return CallCatalogue(&SerialIoFamily(), portName, slave, "GetString", {Keep()},
                             {OutBuffer(buffer, length)});
    });
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
    return OnCurrentTarget(MP_PutChar, character);
}

KELCMD_API int32_t PutString(const char* string, uint32_t length) {
    return OnCurrentTarget(MP_PutString, string, length);
}

KELCMD_API int32_t IsCharAvailable(uint8_t* available) {
    return OnCurrentTarget(MP_IsCharAvailable, available);
}

KELCMD_API int32_t GetChar(uint8_t* character) {
    return OnCurrentTarget(MP_GetChar, character);
}

KELCMD_API int32_t GetString(char* buffer, uint32_t length) {
    return OnCurrentTarget(MP_GetString, buffer, length);
}

KELCMD_API int32_t PutWord_Dec(uint16_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutWord_Dec, data, width);
}

KELCMD_API int32_t PutWord_Hex(uint16_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutWord_Hex, data, width);
}

KELCMD_API int32_t PutWord_Bin(uint16_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutWord_Bin, data, width);
}

KELCMD_API int32_t PutInt_Dec(int16_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutInt_Dec, data, width);
}

KELCMD_API int32_t PutLWord_Dec(uint32_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutLWord_Dec, data, width);
}

KELCMD_API int32_t PutLWord_Hex(uint32_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutLWord_Hex, data, width);
}

KELCMD_API int32_t PutLong_Dec(int32_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutLong_Dec, data, width);
}

KELCMD_API int32_t PutByte_Bin(uint8_t data, uint8_t width) {
    return OnCurrentTarget(MP_PutByte_Bin, data, width);
}

KELCMD_API int32_t PutFloat_Dec(float data, uint8_t representation, uint8_t totalWidth,
                                uint8_t decimalPlaces) {
    return OnCurrentTarget(MP_PutFloat_Dec, data, representation, totalWidth, decimalPlaces);
}

KELCMD_API int32_t GetWord_Dec(uint16_t* data) {
    return OnCurrentTarget(MP_GetWord_Dec, data);
}

KELCMD_API int32_t GetWord_Hex(uint16_t* data) {
    return OnCurrentTarget(MP_GetWord_Hex, data);
}

KELCMD_API int32_t GetInt_Dec(int16_t* data) {
    return OnCurrentTarget(MP_GetInt_Dec, data);
}

KELCMD_API int32_t GetLWord_Dec(uint32_t* data) {
    return OnCurrentTarget(MP_GetLWord_Dec, data);
}

KELCMD_API int32_t GetLWord_Hex(uint32_t* data) {
    return OnCurrentTarget(MP_GetLWord_Hex, data);
}

KELCMD_API int32_t GetLong_Dec(int32_t* data) {
    return OnCurrentTarget(MP_GetLong_Dec, data);
}

KELCMD_API int32_t GetFloat_Dec(float* data) {
    return OnCurrentTarget(MP_GetFloat_Dec, data);
}

}  // extern "C"
