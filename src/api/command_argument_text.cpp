// The catalogue's arguments as text, for hosts that bind the exports at run time and must hand
// each one memory of the right size.
#include <string>

#include "api/command_export.h"
#include "api/export_handlers.h"
#include "api/user_parameter_family.h"
#include "command/command_family.h"
#include "command/kel_standard_command.h"

namespace kelcmd {
namespace {

bool IsMemory(const ExportParameter& parameter) {
    const std::string_view code = parameter.code;
    return code == "in" || code == "buf";
}

// The bytes the answer decode writes to a return parameter, or the send parameter reads: the
// prototype's size of that parameter.
uint32_t PrototypeBytes(const CommandExport& entry, const ExportParameter& parameter) {
    if (entry.command == nullptr) return 0;
    CCommandFamily& family = FamilyOf(entry);
    std::lock_guard guard(family.PrototypeLock());
    const CKelStandardCommand* prototype = family.GetPrototype(entry.command);
    if (prototype == nullptr) return 0;
    const CParameterList& wire = prototype->Wire();
    if (parameter.returnIndex >= 0 &&
        static_cast<size_t>(parameter.returnIndex) < wire.GetReturnCount()) {
        return wire.GetReturnSize(static_cast<size_t>(parameter.returnIndex));
    }
    if (parameter.sendIndex >= 0 &&
        static_cast<size_t>(parameter.sendIndex) < wire.GetSendCount()) {
        return wire.GetSendSize(static_cast<size_t>(parameter.sendIndex));
    }
    return 0;
}

// How much memory the argument at `index` must offer: " length=I" (as many bytes as argument I
// says), " bytes=N", " width-of=I" (the width of the system parameter numbered by argument I),
// or nothing when the size is unknown (a host must then refuse the argument).
std::string MemoryRule(const CommandExport& entry, size_t index) {
    const ExportParameter& parameter = entry.parameters[index];
    if (entry.handler == &ReadSystemParameterExport && index == 1) return " width-of=0";
    if ((entry.handler == &ReadUserParameterExport || entry.handler == &WriteUserParameterExport) &&
        index == 0) {
        return " length=1";
    }
    if (entry.handler != nullptr) return "";
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        if (entry.parameters[i].sizeOf == static_cast<int>(index)) {
            return " length=" + std::to_string(i);
        }
    }
    if (parameter.fixedSize != 0) return " bytes=" + std::to_string(parameter.fixedSize);
    const uint32_t bytes = PrototypeBytes(entry, parameter);
    return bytes != 0 ? " bytes=" + std::to_string(bytes) : "";
}

uint32_t LimitOf(const CommandExport& entry, size_t index) {
    if (entry.handler == &WriteUserParameterExport && index == 1) {
        return CUserParameterFamily::kMaxSetBytes;
    }
    return entry.parameters[index].limit;
}

std::string BuildArgumentText() {
    std::string text;
    for (const CommandExport& entry : CommandExports()) {
        for (size_t i = 0; i < entry.parameters.size(); ++i) {
            const ExportParameter& parameter = entry.parameters[i];
            text += std::string(entry.name) + ' ' + std::to_string(i) + ' ' + parameter.name + ' ' +
                    parameter.code;
            if (IsMemory(parameter)) text += MemoryRule(entry, i);
            if (const uint32_t limit = LimitOf(entry, i); limit != 0) {
                text += " limit=" + std::to_string(limit);
            }
            if (parameter.wait) text += " wait";
            // Written by the export after its exchange: a stacked call would leave it unwritten.
            if (entry.handler == &ReadUserParameterExport && parameter.code[0] == '*') {
                text += " unstacked";
            }
            text += '\n';
        }
    }
    return text;
}

}  // namespace

const char* CommandArgumentText() {
    static const std::string text = BuildArgumentText();
    return text.c_str();
}

}  // namespace kelcmd
