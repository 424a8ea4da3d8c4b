// The RS232 input/output family's forms that are code: the checks of numbers to write, the
// length of a string to read, and what was read as a sentence.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <regex>

#include "api/serial_io_family.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

constexpr const char* kEnterWholeNumber = "Enter a correct number";
constexpr const char* kWidthTooShort = "Width is too short!";
constexpr const char* kEnterFloat = "Enter a correct float number";

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

// "Data" must be a whole number and fit into "Number of Digits" characters; a width that is no
// number is left to the number check of its own field.
std::optional<std::pair<size_t, std::string>> CheckNumberAndWidth(
    const std::vector<std::string>& texts) {
    static const std::regex whole("[-+]?[0-9]+");
    const std::string data = Trimmed(texts.at(0));
    if (!std::regex_match(data, whole)) return std::pair<size_t, std::string>{0, kEnterWholeNumber};
    const std::string width = Trimmed(texts.at(1));
    if (std::regex_match(width, std::regex("[0-9]{1,3}")) &&
        data.size() > static_cast<size_t>(std::stoi(width))) {
        return std::pair<size_t, std::string>{1, kWidthTooShort};
    }
    return std::nullopt;
}

std::optional<std::pair<size_t, std::string>> CheckFloat(const std::vector<std::string>& texts) {
    static const std::regex decimal("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
    if (!std::regex_match(Trimmed(texts.at(0)), decimal)) {
        return std::pair<size_t, std::string>{0, kEnterFloat};
    }
    return std::nullopt;
}

// The number read, as the message shows it.
std::string NumberMessage(const CParameterList& wire) {
    const std::span<const uint8_t> value = wire.GetReturnValue(0);
    const uint32_t raw = ReadUnsigned(value);
    char text[64];
    switch (wire.GetReturnType(0)) {
        case TYPE_INT:
            std::snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<int16_t>(raw)));
            break;
        case TYPE_LINT:
            std::snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<int32_t>(raw)));
            break;
        case TYPE_FLOAT: {
            float number = 0;
            std::memcpy(&number, &raw, sizeof number);
            std::snprintf(text, sizeof text, "%f", static_cast<double>(number));
            break;
        }
        default:
            std::snprintf(text, sizeof text, "%u", raw);
            break;
    }
    return std::string("The following number has been read:\n\n") + text;
}

// GetString reads as many characters as the user asks for: the answer's length is fixed by the
// request.
int EditStringLength(CKelStandardCommand& command) {
    CParameterList& wire = command.Wire();
    const int index = wire.FindReturn("char");
    if (index < 0) return 0;
    FieldLayout length = Number("", "Number of Characters");
    length.range = std::pair<int64_t, int64_t>{1, 240};
    return EditCommandForm(
        FormLayout{"GetString", {length}}, command,
        [&](std::vector<FieldValue>& values) {
            values[0].text = std::to_string(wire.GetReturnSize(static_cast<size_t>(index)));
        },
        [&](const std::vector<FieldValue>& values) {
            wire.ChangeReturnType(static_cast<size_t>(index), TYPE_BYTE_ARRAY,
                                  static_cast<uint32_t>(std::stoul(values[0].text)));
        });
}

std::string CharAvailableMessage(const CParameterList& wire) {
    return ReadUnsigned(wire.GetReturnValue(0).first(1)) != 0 ? "A char is available!"
                                                              : "No char is available!";
}

std::string CharReadMessage(const CParameterList& wire) {
    return "The following char has been read:\n\n " +
           std::string(CharacterName(ReadUnsigned(wire.GetReturnValue(0).first(1))));
}

std::string StringReadMessage(const CParameterList& wire) {
    const std::span<const uint8_t> bytes = wire.GetReturnValue(0);
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    return "The following string has been read:\n\n" + std::string(bytes.begin(), end);
}

}  // namespace kelcmd::dialogs
