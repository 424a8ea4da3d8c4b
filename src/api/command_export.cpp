#include "api/command_export.h"

#include <memory>
#include <optional>
#include <vector>

#include "api/catalogue_call.h"
#include "api/export_guard.h"
#include "api/parameter_call.h"
#include "command/command_family.h"

namespace kelcmd {
namespace {

bool IsMemory(const ExportParameter& parameter) {
    const std::string_view code = parameter.code;
    return code == "in" || code == "buf";
}

// The length in bytes of the memory argument at `index`: its length argument, or its fixed size.
std::optional<uint32_t> MemoryLength(const CommandExport& entry,
                                     std::span<const ExportArgument> arguments, size_t index) {
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        if (entry.parameters[i].sizeOf == static_cast<int>(index)) {
            return arguments[i].As<uint32_t>();
        }
    }
    if (entry.parameters[index].fixedSize != 0) return entry.parameters[index].fixedSize;
    return std::nullopt;
}

// A null buffer with a length other than 0, or a length beyond its limit: nothing is sent.
bool MemoryAcceptable(const CommandExport& entry, std::span<const ExportArgument> arguments) {
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        const ExportParameter& parameter = entry.parameters[i];
        if (!IsMemory(parameter)) {
            if (parameter.limit != 0 && arguments[i].As<uint32_t>() > parameter.limit) return false;
            continue;
        }
        const std::optional<uint32_t> length = MemoryLength(entry, arguments, i);
        if (arguments[i].Pointer() == nullptr && length.value_or(0) != 0) return false;
    }
    return true;
}

// The prototype's copy for the port and slave with the arguments placed: send values, answer
// timeout, then (unless the read must be complete) the caller's variables bound.
std::unique_ptr<CKelStandardCommand> Prepare(CCommandFamily& family, const CommandExport& entry,
                                             const char* port, uint8_t slave,
                                             std::span<const ExportArgument> arguments) {
    std::unique_ptr<CKelStandardCommand> call =
        PrepareCatalogueCall(&family, port, slave, entry.command);
    if (!call) return nullptr;
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        const ExportParameter& parameter = entry.parameters[i];
        if (parameter.sendIndex < 0) continue;
        const auto index = static_cast<size_t>(parameter.sendIndex);
        if (IsMemory(parameter)) {
            static const uint8_t kNothing = 0;
            const void* bytes = arguments[i].Pointer();
            const uint32_t length =
                bytes != nullptr ? MemoryLength(entry, arguments, i).value_or(0) : 0;
            call->SetSendValue(index, bytes != nullptr ? bytes : &kNothing, length);
        } else {
            call->SetSendValue(index, arguments[i].Bytes(), arguments[i].Size());
        }
    }
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        if (entry.parameters[i].wait) call->SetAnswerTimeout(arguments[i].As<uint32_t>());
    }
    if (entry.completeRead) return call;
    CParameterList& wire = call->Wire();
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        const ExportParameter& parameter = entry.parameters[i];
        if (parameter.returnIndex < 0) continue;
        const auto index = static_cast<size_t>(parameter.returnIndex);
        // A caller's buffer with its length: the answer fills exactly that many bytes.
        const bool sized = IsMemory(parameter) && MemoryLength(entry, arguments, i).has_value();
        if (sized && index < wire.GetReturnCount()) {
            wire.ChangeReturnType(index, wire.GetReturnType(index),
                                  *MemoryLength(entry, arguments, i));
        }
        call->BindReturnValue(index, arguments[i].Pointer());
    }
    return call;
}

int32_t Run(CCommandFamily& family, const CommandExport& entry, const char* port, uint8_t slave,
            std::span<const ExportArgument> arguments) {
    if (entry.handler != nullptr) {
        return entry.handler(family, port, slave, entry.command, arguments);
    }
    if (arguments.size() != entry.parameters.size() || !MemoryAcceptable(entry, arguments)) {
        return 0;
    }
    std::unique_ptr<CKelStandardCommand> call = Prepare(family, entry, port, slave, arguments);
    if (!call) return 0;
    if (!entry.completeRead) return family.Execute(call.get());
    std::vector<void*> outputs(call->Wire().GetReturnCount(), nullptr);
    for (size_t i = 0; i < entry.parameters.size(); ++i) {
        const int index = entry.parameters[i].returnIndex;
        if (index >= 0 && static_cast<size_t>(index) < outputs.size()) {
            outputs[static_cast<size_t>(index)] = arguments[i].Pointer();
        }
    }
    return ExecuteCompleteRead(family, *call, outputs);
}

}  // namespace

const CommandExport* FindCommandExport(std::string_view name) {
    for (const CommandExport& entry : CommandExports()) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

CCommandFamily& FamilyOf(const CommandExport& entry) noexcept {
    return entry.family();
}

int32_t RunCommandExport(const CommandExport& entry, const char* port, uint8_t slave,
                         std::initializer_list<ExportArgument> arguments) noexcept {
    return GuardedCommand(FamilyOf(entry), port, entry.command, [&] {
        return Run(FamilyOf(entry), entry, port, slave,
                   std::span(arguments.begin(), arguments.size()));
    });
}

}  // namespace kelcmd
