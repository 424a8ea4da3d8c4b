// The user parameter exports: the plain forms on the current port and slave, the MP_ forms on the
// given ones.
#include "api/catalogue_call.h"
#include "api/export_guard.h"
#include "api/parameter_call.h"
#include "api/parameter_families.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

// `receivedLength` gets how many bytes the unit sent, 0 when the call fails.
int32_t ReadSet(const char* port, uint8_t slave, std::string_view command, uint8_t* buffer,
                uint32_t bufferSize, uint32_t* receivedLength) {
    return GuardedCommand(UserParameters(), port, command, [&] {
        if (receivedLength != nullptr) *receivedLength = 0;  // stays when the read throws
        uint32_t received = 0;
        const int32_t result = ReadUserParameterBytes(UserParameters(), port, slave, command,
                                                      buffer, bufferSize, received);
        if (receivedLength != nullptr) *receivedLength = result ? received : 0;
        return result;
    });
}

int32_t WriteSet(const char* port, uint8_t slave, std::string_view command, const uint8_t* bytes,
                 uint32_t count) {
    return GuardedCommand(UserParameters(), port, command, [&] {
        return WriteUserParameterBytes(UserParameters(), port, slave, command, bytes, count);
    });
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadAllTempUsr1Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength) {
    return ReadSet(portName, slave, "ReadAllTempUsr1Param", buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t ReadAllTempUsr1Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength) {
    return OnCurrentTarget(MP_ReadAllTempUsr1Param, buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t MP_ReadAllTempUsr2Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength) {
    return ReadSet(portName, slave, "ReadAllTempUsr2Param", buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t ReadAllTempUsr2Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength) {
    return OnCurrentTarget(MP_ReadAllTempUsr2Param, buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t MP_ReadAllPermUsr1Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength) {
    return ReadSet(portName, slave, "ReadAllPermUsr1Param", buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t ReadAllPermUsr1Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength) {
    return OnCurrentTarget(MP_ReadAllPermUsr1Param, buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t MP_ReadAllPermUsr2Param(const char* portName, uint8_t slave, uint8_t* buffer,
                                           uint32_t bufferSize, uint32_t* receivedLength) {
    return ReadSet(portName, slave, "ReadAllPermUsr2Param", buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t ReadAllPermUsr2Param(uint8_t* buffer, uint32_t bufferSize,
                                        uint32_t* receivedLength) {
    return OnCurrentTarget(MP_ReadAllPermUsr2Param, buffer, bufferSize, receivedLength);
}

KELCMD_API int32_t MP_SetAllTempUsr1Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count) {
    return WriteSet(portName, slave, "SetAllTempUsr1Param", bytes, count);
}

KELCMD_API int32_t SetAllTempUsr1Param(const uint8_t* bytes, uint32_t count) {
    return OnCurrentTarget(MP_SetAllTempUsr1Param, bytes, count);
}

KELCMD_API int32_t MP_SetAllTempUsr2Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count) {
    return WriteSet(portName, slave, "SetAllTempUsr2Param", bytes, count);
}

KELCMD_API int32_t SetAllTempUsr2Param(const uint8_t* bytes, uint32_t count) {
    return OnCurrentTarget(MP_SetAllTempUsr2Param, bytes, count);
}

KELCMD_API int32_t MP_SetAllPermUsr1Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count) {
    return WriteSet(portName, slave, "SetAllPermUsr1Param", bytes, count);
}

KELCMD_API int32_t SetAllPermUsr1Param(const uint8_t* bytes, uint32_t count) {
    return OnCurrentTarget(MP_SetAllPermUsr1Param, bytes, count);
}

KELCMD_API int32_t MP_SetAllPermUsr2Param(const char* portName, uint8_t slave, const uint8_t* bytes,
                                          uint32_t count) {
    return WriteSet(portName, slave, "SetAllPermUsr2Param", bytes, count);
}

KELCMD_API int32_t SetAllPermUsr2Param(const uint8_t* bytes, uint32_t count) {
    return OnCurrentTarget(MP_SetAllPermUsr2Param, bytes, count);
}

KELCMD_API int32_t MP_CheckCRC(const char* portName, uint8_t slave, uint8_t memArea,
                               uint8_t* verResult, uint16_t* compCRC) {
    return GuardedCommand(UserParameters(), portName, "CheckCRC", [&] {
        auto call =
            PrepareCatalogueCall(&UserParameters(), portName, slave, "CheckCRC", {Value(memArea)});
        return call ? ExecuteCompleteRead(UserParameters(), *call, {verResult, compCRC}) : 0;
    });
}

KELCMD_API int32_t CheckCRC(uint8_t memArea, uint8_t* verResult, uint16_t* compCRC) {
    return OnCurrentTarget(MP_CheckCRC, memArea, verResult, compCRC);
}

}  // extern "C"
