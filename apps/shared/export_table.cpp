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

// Turns the input texts into the export's arguments (the outputs pointing into `slots`); false
// with `error` set when a text does not fit its type or the count is wrong.
bool PrepareArguments(const CommandExport& command, const std::vector<std::string>& texts,
                      std::vector<ExportArgument>& arguments, std::vector<OutputSlot>& slots,
                      std::string& error) {
    const std::span<const ExportParameter> parameters = command.parameters;
    arguments.assign(parameters.size(), ExportArgument{});
    slots.assign(parameters.size(), OutputSlot{});
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
            return false;
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
            return false;
        }
    }
    if (next != texts.size()) {
        error = "extra argument '" + texts[next] + "'";
        return false;
    }
    return true;
}

ExportEntry EntryOf(const CommandExport& command) {
    ExportEntry entry;
    entry.name = command.name;
    for (const ExportParameter& parameter : command.parameters) {
        const std::string_view code = parameter.code;
        if (IsOutput(code)) {
            entry.outputs.push_back(parameter.name);
            entry.outputTypes.emplace_back(code.substr(1));
        } else {
            entry.inputs.push_back(parameter.name);
            entry.inputTypes.emplace_back(code);
        }
    }
    entry.check = [&command](const std::vector<std::string>& texts) {
        std::vector<ExportArgument> arguments;
        std::vector<OutputSlot> slots;
        std::string error;
        PrepareArguments(command, texts, arguments, slots, error);
        return error;
    };
    entry.call = [&command](const char* port, uint8_t slave, const std::vector<std::string>& texts,
                            std::vector<std::string>& outputs, std::string& error,
                            std::vector<double>* values) -> std::optional<int32_t> {
        std::vector<ExportArgument> arguments;
        std::vector<OutputSlot> slots;
        if (!PrepareArguments(command, texts, arguments, slots, error)) return std::nullopt;
        const int32_t result = command.invoke(port, slave, arguments);
        const std::span<const ExportParameter> parameters = command.parameters;
        for (size_t i = 0; i < parameters.size(); ++i) {
            const std::string_view code = parameters[i].code;
            if (!IsOutput(code)) continue;
            WithType(code.substr(1), [&](auto value) {
                std::memcpy(&value, slots[i].bytes, sizeof value);
                outputs.push_back(detail::Format(value));
                if (values) values->push_back(static_cast<double>(value));
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
