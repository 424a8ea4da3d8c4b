#include "api/system_parameter_family.h"

#include <array>

#include "api/catalogue_defaults.h"
#include "api/catalogue_rows.h"
#include "command/parameter_types.h"
#include "command/system_parameter_table.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{0x10, 0x1F}}};

constexpr uint8_t kDefaultParameterNumber = 1;

// The layouts must be in place before the first prototype is built or any set travels.
std::vector<CatalogueCommand> CatalogueWithLayouts() {
    InstallSysParamLayouts();
    return CatalogueRows("SystemParameter");
}

}  // namespace

void SingleSystemParameterDefaults(CKelStandardCommand& command) {
    CSystemParameterFamily::RetypeValue(command, kDefaultParameterNumber);
    CParameterList& wire = command.Wire();
    const int value = wire.FindSend("value");
    if (value >= 0) {
        const uint8_t one = 1;
        wire.SetSendValue(static_cast<size_t>(value), &one, 1);
    }
}

void ShortSystemParameterSetDefaults(CKelStandardCommand& command) {
    const T_SysParam& set = DefaultSysParam();
    command.SetSendValue(0, &set, sizeof set);
}

void ExtendedSystemParameterSetDefaults(CKelStandardCommand& command) {
    const T_SysParamEx& set = DefaultSysParamEx();
    command.SetSendValue(0, &set, sizeof set);
}

CSystemParameterFamily::CSystemParameterFamily()
    : CCommandFamily("SystemParameter", CatalogueWithLayouts()) {}

std::span<const CodeRange> CSystemParameterFamily::GetCodeRanges() const {
    return kCodes;
}

void CSystemParameterFamily::DeclareLinks(CParameterLinks& links) const {
    links.Declare("ReadTempParam", "paramNb", "SetTempParam", "paramNb");
    links.Declare("ReadTempParam", "value", "SetTempParam", "value");
    links.Declare("ReadAllTempParamShort", "sysParam", "SetAllTempParamShort", "sysParam");
    links.Declare("ReadAllTempParamEx", "sysParamEx", "SetAllTempParamEx", "sysParamEx");
    links.Declare("ReadAllPermParamShort", "sysParam", "SetAllPermParamShort", "sysParam");
    links.Declare("ReadAllPermParamEx", "sysParamEx", "SetAllPermParamEx", "sysParamEx");
    for (const char* gain : {"gainP", "gainI", "gain3"}) {
        links.Declare("ReadCurrentGains", gain, "SetCurrentGains", gain);
    }
    for (const char* gain : {"gainP", "gainI", "gainD"}) {
        links.Declare("ReadPositionGains", gain, "SetPositionGains", gain);
    }
}

bool CSystemParameterFamily::RetypeValue(CKelStandardCommand& command, uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    if (info == nullptr) return false;
    const uint32_t width = SystemParameterWidth(number);
    CParameterList& wire = command.Wire();
    if (const int index = wire.FindReturn("value"); index >= 0) {
        return wire.ChangeReturnType(static_cast<size_t>(index), info->type, width) == 1;
    }
    if (const int index = wire.FindSend("value"); index >= 0) {
        return wire.ChangeSendType(static_cast<size_t>(index), info->type, width) == 1;
    }
    return false;
}

}  // namespace kelcmd
