// The command exports kelcmd runs by name, described by the library's own catalogue. Exports that
// take structures, strings or buffers have commands of their own.
#include "export_table.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "api/command_export.h"

namespace kelcmd::app {
namespace {

bool IsOutput(std::string_view code) {
    return code.starts_with('*');
}

bool RunsFromCommandLine(const CommandExport& entry) {
    return std::none_of(entry.parameters.begin(), entry.parameters.end(),
                        [](const ExportParameter& parameter) {
                            const std::string_view code = parameter.code;
                            return code == "in" || code == "buf";
                        });
}

// Calls `use` with a value of the C type that a code names (u8 ... f32): false for another code.
template <class Use>
bool WithType(std::string_view code, Use&& use) {
    if (code == "u8") return use(uint8_t{});
    if (code == "u16") return use(uint16_t{});
    if (code == "u32") return use(uint32_t{});
    if (code == "i16") return use(int16_t{});
    if (code == "i32") return use(int32_t{});
    if (code == "f32") return use(float{});
    return false;
}

// Room for one value the export writes.
struct alignas(8) OutputSlot {
    uint8_t bytes[8] = {};
};

ExportEntry EntryOf(const CommandExport& command) {
    ExportEntry entry;
    entry.name = command.name;
    for (const ExportParameter& parameter : command.parameters) {
        (IsOutput(parameter.code) ? entry.outputs : entry.inputs).push_back(parameter.name);
    }
    entry.call = [&command](const char* port, uint8_t slave, const std::vector<std::string>& texts,
                            std::vector<std::string>& outputs,
                            std::string& error) -> std::optional<int32_t> {
        const std::span<const ExportParameter> parameters = command.parameters;
        std::vector<ExportArgument> arguments(parameters.size());
        std::vector<OutputSlot> slots(parameters.size());
        size_t next = 0;
        for (size_t i = 0; i < parameters.size(); ++i) {
            const std::string_view code = parameters[i].code;
            if (IsOutput(code)) {
                arguments[i] = ExportArgument::Of(static_cast<void*>(slots[i].bytes));
                continue;
            }
            const std::string name = parameters[i].name;
            if (next >= texts.size()) {
                error = "missing argument " + name;
                return std::nullopt;
            }
            const std::string& text = texts[next++];
            const bool parsed = WithType(code, [&](auto value) {
                if (!detail::Parse(text, value)) {
                    error = name + ": '" + text + "' is not " + detail::Expected<decltype(value)>();
                    return false;
                }
                arguments[i] = ExportArgument::Of(value);
                return true;
            });
            if (!parsed) {
                if (error.empty()) error = name + ": unknown type";
                return std::nullopt;
            }
        }
        if (next != texts.size()) {
            error = "extra argument '" + texts[next] + "'";
            return std::nullopt;
        }
        const int32_t result = command.invoke(port, slave, arguments);
        for (size_t i = 0; i < parameters.size(); ++i) {
            const std::string_view code = parameters[i].code;
            if (!IsOutput(code)) continue;
            WithType(code.substr(1), [&](auto value) {
                std::memcpy(&value, slots[i].bytes, sizeof value);
                outputs.push_back(detail::Format(value));
                return true;
            });
        }
        return result;
    };
    return entry;
}

}  // namespace

const std::vector<ExportEntry>& ExportTable() {
    static const std::vector<ExportEntry> table = [] {
        std::vector<ExportEntry> entries;
        for (const CommandExport& command : CommandExports()) {
            if (RunsFromCommandLine(command)) entries.push_back(EntryOf(command));
        }
        return entries;
    }();
    return table;
}

const ExportEntry* FindExport(const std::string& name) {
    for (const ExportEntry& entry : ExportTable()) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

}  // namespace kelcmd::app
