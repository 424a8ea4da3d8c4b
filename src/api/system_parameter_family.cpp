#include "api/system_parameter_family.h"

#include <array>

#include "command/parameter_types.h"
#include "command/system_parameter_table.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{0x10, 0x1F}}};

constexpr uint8_t kDefaultParameterNumber = 1;

// The single-parameter commands start at parameter 1 (a Byte) with the value 1.
void SingleParameterDefaults(CKelStandardCommand& command) {
    CSystemParameterFamily::RetypeValue(command, kDefaultParameterNumber);
    CParameterList& wire = command.Wire();
    const int value = wire.FindSend("value");
    if (value >= 0) {
        const uint8_t one = 1;
        wire.SetSendValue(static_cast<size_t>(value), &one, 1);
    }
}

void ShortSetDefault(CKelStandardCommand& command) {
    const T_SysParam& set = DefaultSysParam();
    command.SetSendValue(0, &set, sizeof set);
}

void ExtendedSetDefault(CKelStandardCommand& command) {
    const T_SysParamEx& set = DefaultSysParamEx();
    command.SetSendValue(0, &set, sizeof set);
}

std::vector<CatalogueCommand> Catalogue() {
    return {
        {.name = "ReadTempParam",
         .code = 0x10,
         .send = {{"paramNb", TYPE_BYTE}},
         .returns = {{"paramNb", TYPE_BYTE}, {"value", TYPE_BYTE}},
         .defaults = {kDefaultParameterNumber},
         .customDefaults = SingleParameterDefaults},
        {.name = "ReadPermanentParam",
         .code = 0x11,
         .send = {{"paramNb", TYPE_BYTE}},
         .returns = {{"paramNb", TYPE_BYTE}, {"value", TYPE_BYTE}},
         .defaults = {kDefaultParameterNumber},
         .customDefaults = SingleParameterDefaults},
        {.name = "SetTempParam",
         .code = 0x12,
         .send = {{"paramNb", TYPE_BYTE}, {"value", TYPE_BYTE}},
         .defaults = {kDefaultParameterNumber},
         .customDefaults = SingleParameterDefaults},
        {.name = "ResetTempParam", .code = 0x14},
        {.name = "UpdatePermParam", .code = 0x15},
        {.name = "ReadAllTempParamShort", .code = 0x16, .returns = {{"sysParam", TYPE_SYSPARAM}}},
        {.name = "ReadAllTempParamEx",
         .code = 0x16,
         .send = {{"option", TYPE_BYTE}},
         .returns = {{"sysParamEx", TYPE_SYSPARAM_EX}},
         .defaults = {0}},
        {.name = "ReadAllPermParamShort", .code = 0x17, .returns = {{"sysParam", TYPE_SYSPARAM}}},
        {.name = "ReadAllPermParamEx",
         .code = 0x17,
         .send = {{"option", TYPE_BYTE}},
         .returns = {{"sysParamEx", TYPE_SYSPARAM_EX}},
         .defaults = {0}},
        {.name = "SetAllTempParamShort",
         .code = 0x18,
         .send = {{"sysParam", TYPE_SYSPARAM}},
         .customDefaults = ShortSetDefault},
        {.name = "SetAllTempParamEx",
         .code = 0x18,
         .send = {{"sysParamEx", TYPE_SYSPARAM_EX}},
         .customDefaults = ExtendedSetDefault},
        {.name = "SetAllPermParamShort",
         .code = 0x19,
         .send = {{"sysParam", TYPE_SYSPARAM}},
         .customDefaults = ShortSetDefault},
        {.name = "SetAllPermParamEx",
         .code = 0x19,
         .send = {{"sysParamEx", TYPE_SYSPARAM_EX}},
         .customDefaults = ExtendedSetDefault},
        {.name = "ReadCurrentGains",
         .code = 0x1A,
         .returns = {{"gainP", TYPE_INT}, {"gainI", TYPE_INT}, {"gain3", TYPE_INT}}},
        {.name = "SetCurrentGains",
         .code = 0x1B,
         .send = {{"gainP", TYPE_INT}, {"gainI", TYPE_INT}, {"gain3", TYPE_INT}},
         .defaults = {100, 51, 0}},
        {.name = "ReadPositionGains",
         .code = 0x1C,
         .returns = {{"gainP", TYPE_INT}, {"gainI", TYPE_INT}, {"gainD", TYPE_INT}}},
        {.name = "SetPositionGains",
         .code = 0x1D,
         .send = {{"gainP", TYPE_INT}, {"gainI", TYPE_INT}, {"gainD", TYPE_INT}},
         .defaults = {1656, 100, 1331}},
        {.name = "ReadVersion",
         .code = 0x1F,
         .returns = {{"cmdVer", TYPE_WORD},
                     {"libVer", TYPE_WORD},
                     {"hardRev", TYPE_WORD},
                     {"bootVer", TYPE_WORD},
                     {"appNb", TYPE_WORD},
                     {"appVer", TYPE_WORD}}},
    };
}

// The layouts must be in place before the first prototype is built or any set travels.
std::vector<CatalogueCommand> CatalogueWithLayouts() {
    InstallSysParamLayouts();
    return Catalogue();
}

}  // namespace

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
