// The frame exports: current slave, error callback, texts of the unit's errors and warnings.
#include "api/communication.h"
#include "api/current_target.h"
#include "api/export_guard.h"
#include "api/unit_texts.h"
#include "kelcmd/kelcmd.h"
#include "transport/kel_communication.h"

using namespace kelcmd;

extern "C" {

KELCMD_API void SelectSlave(uint8_t address) {
    Guarded([&] { SetCurrentSlave(address); });
}

KELCMD_API int32_t InitKelCommander(KelErrorCallback callback) {
    return Guarded(0,
                   [&] { return Communication().SetErrorCallback(CurrentPortName(), callback); });
}

KELCMD_API int32_t MP_InitKelCommander(const char* portName, KelErrorCallback callback) {
    return Guarded(0, [&] {
        if (portName == nullptr) return 0;
        return Communication().SetErrorCallback(portName, callback);
    });
}

KELCMD_API int32_t GetErrorText(int16_t code, char* name, uint32_t nameSize, char* text,
                                uint32_t textSize) {
    return Guarded(0, [&] { return FillUnitErrorText(code, name, nameSize, text, textSize); });
}

KELCMD_API int32_t GetWarningText(int16_t code, char* name, uint32_t nameSize, char* text,
                                  uint32_t textSize) {
    return Guarded(0, [&] { return FillUnitWarningText(code, name, nameSize, text, textSize); });
}

}  // extern "C"
