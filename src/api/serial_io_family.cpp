#include "api/serial_io_family.h"

#include <array>

#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 1> kRanges{
    {{CSerialIoFamily::kPutString, CSerialIoFamily::kGetNumber}}};

CatalogueParameter SubFunction() {
    return {"subFunctionNumber", TYPE_BYTE};
}

CatalogueCommand PutNumber(const char* name, uint8_t sub, uint8_t type) {
    return {.name = name,
            .code = CSerialIoFamily::kPutNumber,
            .send = {SubFunction(), {"data", type}, {"width", TYPE_BYTE}},
            .defaults = {sub, 0, 1}};
}

CatalogueCommand GetNumber(const char* name, uint8_t sub, uint8_t type) {
    return {.name = name,
            .code = CSerialIoFamily::kGetNumber,
            .send = {SubFunction()},
            .returns = {{"data", type}},
            .defaults = {sub}};
}

std::vector<CatalogueCommand> SerialIoCatalogue() {
    return {
        {.name = "PutChar",
         .code = CSerialIoFamily::kPutString,
         .send = {SubFunction(), {"char", TYPE_BYTE}},
         .defaults = {1, 'A'}},
        // One zero byte by default; the export sends exactly the caller's bytes.
        {.name = "PutString",
         .code = CSerialIoFamily::kPutString,
         .send = {SubFunction(), {"data", TYPE_BYTE_ARRAY, 1}},
         .defaults = {2}},
        {.name = "IsCharAvailable",
         .code = CSerialIoFamily::kGetString,
         .send = {SubFunction()},
         .returns = {{"available", TYPE_BYTE}},
         .defaults = {0}},
        {.name = "GetChar",
         .code = CSerialIoFamily::kGetString,
         .send = {SubFunction()},
         .returns = {{"char", TYPE_BYTE}},
         .defaults = {1}},
        {.name = "GetString",
         .code = CSerialIoFamily::kGetString,
         .send = {SubFunction()},
         .returns = {{"char", TYPE_BYTE_ARRAY, 1}},
         .defaults = {2}},
        PutNumber("PutWord_Dec", 0x12, TYPE_WORD),
        PutNumber("PutInt_Dec", 0x13, TYPE_INT),
        PutNumber("PutLWord_Dec", 0x14, TYPE_LWORD),
        PutNumber("PutLong_Dec", 0x15, TYPE_LINT),
        {.name = "PutFloat_Dec",
         .code = CSerialIoFamily::kPutNumber,
         .send = {SubFunction(),
                  {"data", TYPE_FLOAT},
                  {"representation", TYPE_BYTE},
                  {"totalWidth", TYPE_BYTE},
                  {"decimalPlaces", TYPE_BYTE}},
         .defaults = {0x16, 0.0, 'f', 3, 1}},
        PutNumber("PutWord_Hex", 0x22, TYPE_WORD),
        PutNumber("PutLWord_Hex", 0x24, TYPE_LWORD),
        PutNumber("PutByte_Bin", 0x30, TYPE_BYTE),
        PutNumber("PutWord_Bin", 0x32, TYPE_WORD),
        GetNumber("GetWord_Dec", 0x12, TYPE_WORD),
        GetNumber("GetInt_Dec", 0x13, TYPE_INT),
        GetNumber("GetLWord_Dec", 0x14, TYPE_LWORD),
        GetNumber("GetLong_Dec", 0x15, TYPE_LINT),
        GetNumber("GetFloat_Dec", 0x16, TYPE_FLOAT),
        GetNumber("GetWord_Hex", 0x22, TYPE_WORD),
        GetNumber("GetLWord_Hex", 0x24, TYPE_LWORD),
    };
}

constexpr std::array<std::string_view, 32> kControlNames{
    "NUL / null",
    "SOH / start of heading",
    "STX / start of text",
    "ETX / end of text",
    "EOT / end of transmission",
    "ENQ / enquiry",
    "ACK / acknowledge",
    "BEL / bell",
    "BS / backspace",
    "HT / horizontal tab",
    "LF / line feed",
    "VT / vertical tab",
    "FF / form feed",
    "CR / carriage return",
    "SO / shift out",
    "SI / shift in",
    "DLE / data link escape",
    "DC1 / device control 1",
    "DC2 / device control 2",
    "DC3 / device control 3",
    "DC4 / device control 4",
    "NAK / negative acknowledge",
    "SYN / synchronous idle",
    "ETB / end of transmission block",
    "CAN / cancel",
    "EM / end of medium",
    "SUB / subsitute",
    "ESC / escape",
    "FS / file separator",
    "GS / group separator",
    "RS / record separator",
    "US / unit separator",
};

// The printable characters between apostrophes, built once: "' '" for 32, "'A'" for 65. The
// grave accent is named with an acute accent, encoded in UTF-8.
const std::array<std::string, 95>& PrintableNames() {
    static const std::array<std::string, 95> names = [] {
        std::array<std::string, 95> built;
        for (size_t i = 0; i < built.size(); ++i) {
            built[i] = std::string("'") + static_cast<char>(32 + i) + "'";
        }
        built['`' - 32] = "'\xC2\xB4'";
        return built;
    }();
    return names;
}

}  // namespace

CSerialIoFamily::CSerialIoFamily() : CCommandFamily("RS232 Input/Output", SerialIoCatalogue()) {}

std::span<const CodeRange> CSerialIoFamily::GetCodeRanges() const {
    return kRanges;
}

std::string_view CharacterName(uint32_t code) {
    if (code < 32) return kControlNames[code];
    if (code < 127) return PrintableNames()[code - 32];
    if (code == 127) return "DEL / delete";
    return {};
}

}  // namespace kelcmd
