// The system parameter exports: the plain forms on the current port and slave, the MP_ forms on
// the given ones.
#include "api/catalogue_call.h"
#include "api/export_guard.h"
#include "api/families.h"
#include "api/parameter_call.h"
#include "api/parameter_families.h"
#include "command/system_parameter_table.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

namespace {

int32_t Call(const char* port, uint8_t slave, std::string_view command,
             std::initializer_list<SendArgument> send = {}) {
    return CallExport(SystemParameters(), port, slave, command, send);
}

// ReadTempParam and ReadPermanentParam: `value` receives exactly the parameter's width.
int32_t ReadSingle(const char* port, uint8_t slave, std::string_view command, uint8_t number,
                   void* value) {
    return GuardedCommand(SystemParameters(), port, command, [&] {
        // Numbers above 78 have no type and so no width: refused before anything is sent.
        if (FindSystemParameter(number) == nullptr) return 0;
        auto call =
            PrepareCatalogueCall(&SystemParameters(), port, slave, command, {Value(number)});
        if (!call || !CSystemParameterFamily::RetypeValue(*call, number)) return 0;
        return ExecuteCompleteRead(SystemParameters(), *call, {nullptr, value});
    });
}

int32_t SetSingle(const char* port, uint8_t slave, uint8_t number, int32_t value) {
    return GuardedCommand(SystemParameters(), port, "SetTempParam", [&] {
        if (FindSystemParameter(number) == nullptr) return 0;
        auto call =
            PrepareCatalogueCall(&SystemParameters(), port, slave, "SetTempParam", {Value(number)});
        if (!call || !CSystemParameterFamily::RetypeValue(*call, number)) return 0;
        // The parameter's width of low-order bytes, whatever the host's byte order.
        const auto bits = static_cast<uint32_t>(value);
        const auto byte = static_cast<uint8_t>(bits);
        const auto word = static_cast<uint16_t>(bits);
        switch (SystemParameterWidth(number)) {
            case 1:
                call->SetSendValue(1, &byte, 1);
                break;
            case 2:
                call->SetSendValue(1, &word, 2);
                break;
            default:
                call->SetSendValue(1, &bits, 4);
                break;
        }
        return ExecuteCatalogueCall(call.get());
    });
}

// Reads whose answers must carry every return value before any reaches the caller.
int32_t Read(const char* port, uint8_t slave, std::string_view command,
             std::initializer_list<void*> outputs, std::initializer_list<SendArgument> send = {}) {
    return GuardedCommand(SystemParameters(), port, command, [&] {
        auto call = PrepareCatalogueCall(&SystemParameters(), port, slave, command, send);
        return call ? ExecuteCompleteRead(SystemParameters(), *call, outputs) : 0;
    });
}

// Whole-set writes: without a structure there is nothing to send.
template <class Set>
int32_t SetAll(const char* port, uint8_t slave, std::string_view command, const Set* set) {
    return GuardedCommand(SystemParameters(), port, command, [&] {
        if (set == nullptr) return 0;
        return CallCatalogue(&SystemParameters(), port, slave, command, {Bytes(set, sizeof(Set))});
    });
}

}  // namespace

extern "C" {

KELCMD_API int32_t MP_ReadTempParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                    void* value) {
    return ReadSingle(portName, slave, "ReadTempParam", paramNb, value);
}

KELCMD_API int32_t ReadTempParam(uint8_t paramNb, void* value) {
    return OnCurrentTarget(MP_ReadTempParam, paramNb, value);
}

KELCMD_API int32_t MP_ReadPermanentParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                         void* value) {
    return ReadSingle(portName, slave, "ReadPermanentParam", paramNb, value);
}

KELCMD_API int32_t ReadPermanentParam(uint8_t paramNb, void* value) {
    return OnCurrentTarget(MP_ReadPermanentParam, paramNb, value);
}

KELCMD_API int32_t MP_SetTempParam(const char* portName, uint8_t slave, uint8_t paramNb,
                                   int32_t value) {
    return SetSingle(portName, slave, paramNb, value);
}

KELCMD_API int32_t SetTempParam(uint8_t paramNb, int32_t value) {
    return OnCurrentTarget(MP_SetTempParam, paramNb, value);
}

KELCMD_API int32_t MP_ResetTempParam(const char* portName, uint8_t slave) {
    return Call(portName, slave, "ResetTempParam");
}

KELCMD_API int32_t ResetTempParam(void) {
    return OnCurrentTarget(MP_ResetTempParam);
}

KELCMD_API int32_t MP_UpdatePermParam(const char* portName, uint8_t slave) {
    return Call(portName, slave, "UpdatePermParam");
}

KELCMD_API int32_t UpdatePermParam(void) {
    return OnCurrentTarget(MP_UpdatePermParam);
}

KELCMD_API int32_t MP_ReadAllTempParam(const char* portName, uint8_t slave, T_SysParam* sysParam) {
    return Read(portName, slave, "ReadAllTempParamShort", {sysParam});
}

KELCMD_API int32_t ReadAllTempParam(T_SysParam* sysParam) {
    return OnCurrentTarget(MP_ReadAllTempParam, sysParam);
}

KELCMD_API int32_t MP_ReadAllTempParamEx(const char* portName, uint8_t slave,
                                         T_SysParamEx* sysParamEx) {
    return Read(portName, slave, "ReadAllTempParamEx", {sysParamEx}, {Keep()});
}

KELCMD_API int32_t ReadAllTempParamEx(T_SysParamEx* sysParamEx) {
    return OnCurrentTarget(MP_ReadAllTempParamEx, sysParamEx);
}

KELCMD_API int32_t MP_ReadAllPermParam(const char* portName, uint8_t slave, T_SysParam* sysParam) {
    return Read(portName, slave, "ReadAllPermParamShort", {sysParam});
}

KELCMD_API int32_t ReadAllPermParam(T_SysParam* sysParam) {
    return OnCurrentTarget(MP_ReadAllPermParam, sysParam);
}

KELCMD_API int32_t MP_ReadAllPermParamEx(const char* portName, uint8_t slave,
                                         T_SysParamEx* sysParamEx) {
    return Read(portName, slave, "ReadAllPermParamEx", {sysParamEx}, {Keep()});
}

KELCMD_API int32_t ReadAllPermParamEx(T_SysParamEx* sysParamEx) {
    return OnCurrentTarget(MP_ReadAllPermParamEx, sysParamEx);
}

KELCMD_API int32_t MP_SetAllTempParam(const char* portName, uint8_t slave,
                                      const T_SysParam* sysParam) {
    return SetAll(portName, slave, "SetAllTempParamShort", sysParam);
}

KELCMD_API int32_t SetAllTempParam(const T_SysParam* sysParam) {
    return OnCurrentTarget(MP_SetAllTempParam, sysParam);
}

KELCMD_API int32_t MP_SetAllTempParamEx(const char* portName, uint8_t slave,
                                        const T_SysParamEx* sysParamEx) {
    return SetAll(portName, slave, "SetAllTempParamEx", sysParamEx);
}

KELCMD_API int32_t SetAllTempParamEx(const T_SysParamEx* sysParamEx) {
    return OnCurrentTarget(MP_SetAllTempParamEx, sysParamEx);
}

KELCMD_API int32_t MP_SetAllPermParam(const char* portName, uint8_t slave,
                                      const T_SysParam* sysParam) {
    return SetAll(portName, slave, "SetAllPermParamShort", sysParam);
}

KELCMD_API int32_t SetAllPermParam(const T_SysParam* sysParam) {
    return OnCurrentTarget(MP_SetAllPermParam, sysParam);
}

KELCMD_API int32_t MP_SetAllPermParamEx(const char* portName, uint8_t slave,
                                        const T_SysParamEx* sysParamEx) {
    return SetAll(portName, slave, "SetAllPermParamEx", sysParamEx);
}

KELCMD_API int32_t SetAllPermParamEx(const T_SysParamEx* sysParamEx) {
    return OnCurrentTarget(MP_SetAllPermParamEx, sysParamEx);
}

KELCMD_API int32_t MP_ReadCurRegGains(const char* portName, uint8_t slave, int16_t* gainP,
                                      int16_t* gainI, int16_t* gain3) {
    return Read(portName, slave, "ReadCurrentGains", {gainP, gainI, gain3});
}

KELCMD_API int32_t ReadCurRegGains(int16_t* gainP, int16_t* gainI, int16_t* gain3) {
    return OnCurrentTarget(MP_ReadCurRegGains, gainP, gainI, gain3);
}

KELCMD_API int32_t MP_SetCurRegGains(const char* portName, uint8_t slave, int16_t gainP,
                                     int16_t gainI, int16_t gain3) {
    return Call(portName, slave, "SetCurrentGains", {Value(gainP), Value(gainI), Value(gain3)});
}

KELCMD_API int32_t SetCurRegGains(int16_t gainP, int16_t gainI, int16_t gain3) {
    return OnCurrentTarget(MP_SetCurRegGains, gainP, gainI, gain3);
}

KELCMD_API int32_t MP_ReadPosRegGains(const char* portName, uint8_t slave, int16_t* gainP,
                                      int16_t* gainI, int16_t* gainD) {
    return Read(portName, slave, "ReadPositionGains", {gainP, gainI, gainD});
}

KELCMD_API int32_t ReadPosRegGains(int16_t* gainP, int16_t* gainI, int16_t* gainD) {
    return OnCurrentTarget(MP_ReadPosRegGains, gainP, gainI, gainD);
}

KELCMD_API int32_t MP_SetPosRegGains(const char* portName, uint8_t slave, int16_t gainP,
                                     int16_t gainI, int16_t gainD) {
    return Call(portName, slave, "SetPositionGains", {Value(gainP), Value(gainI), Value(gainD)});
}

KELCMD_API int32_t SetPosRegGains(int16_t gainP, int16_t gainI, int16_t gainD) {
    return OnCurrentTarget(MP_SetPosRegGains, gainP, gainI, gainD);
}

KELCMD_API int32_t MP_ReadVersion(const char* portName, uint8_t slave, uint16_t* cmdVer,
                                  uint16_t* libVer, uint16_t* hardRev, uint16_t* bootVer,
                                  uint16_t* appNb, uint16_t* appVer) {
    return Read(portName, slave, "ReadVersion", {cmdVer, libVer, hardRev, bootVer, appNb, appVer});
}

KELCMD_API int32_t ReadVersion(uint16_t* cmdVer, uint16_t* libVer, uint16_t* hardRev,
                               uint16_t* bootVer, uint16_t* appNb, uint16_t* appVer) {
    return OnCurrentTarget(MP_ReadVersion, cmdVer, libVer, hardRev, bootVer, appNb, appVer);
}

}  // extern "C"
