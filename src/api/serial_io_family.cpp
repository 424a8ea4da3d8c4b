#include "api/serial_io_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 1> kRanges{
    {{CSerialIoFamily::kPutString, CSerialIoFamily::kGetNumber}}};

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

CSerialIoFamily::CSerialIoFamily()
    : CCommandFamily("RS232 Input/Output", CatalogueRows("SerialIo")) {}

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
