#include "api/system_parameter_texts.h"

#include <bit>
#include <cstdio>

#include "command/parameter_types.h"
#include "command/system_parameter_table.h"

namespace kelcmd {

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string Binary16(uint32_t value) {
    std::string text = "b";
    for (int bit = 15; bit >= 0; --bit) text += ((value >> bit) & 1) != 0 ? '1' : '0';
    return text;
}

}  // namespace

std::string SystemParameterName(uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    return info != nullptr ? info->name : "";
}

std::string SystemParameterUnit(uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    return info != nullptr ? info->unit : "";
}

std::string SystemParameterValueText(uint32_t number, uint32_t bits) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    if (info == nullptr) return "";
    switch (number) {
        case 2:
            return StartUpModeText(static_cast<int16_t>(bits));
        case 4:
            return Rs232ModeText(static_cast<int16_t>(bits));
        case 7:
            return Binary16(bits & 0xFFFF);
        case 12:
        case 38:
        case 39:
        case 42:
            return Format("%u", static_cast<unsigned>(bits & 0xFFFF));
        default:
            break;
    }
    switch (info->type) {
        case TYPE_FLOAT:
            return Format("%f", static_cast<double>(std::bit_cast<float>(bits)));
        case TYPE_BYTE:
            // A Byte is unsigned: group addresses 128 to 254 must not show as negative numbers.
            return Format("%i", static_cast<int>(bits & 0xFF));
        case TYPE_INT:
            return Format("%i", static_cast<int>(static_cast<int16_t>(bits)));
        case TYPE_WORD:
            return Format("%i", static_cast<int>(bits & 0xFFFF));
        default:
            return Format("%i", static_cast<int>(static_cast<int32_t>(bits)));
    }
}

const std::vector<std::string>& ParameterSelectionNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (uint32_t number = 0; number <= kLastSystemParameter; ++number) {
            if (number == 8) continue;
            if (number == 34) {
                list.emplace_back("Max. Pulse Length Speed");
            } else if (number == 37) {
                list.emplace_back("Brake Gain");
            } else if (number == 78) {
                list.emplace_back("SysParamCRC");
            } else {
                list.push_back(SystemParameterName(number));
            }
        }
        return list;
    }();
    return names;
}

uint32_t SelectionParameterNumber(uint32_t entry) {
    return entry < 8 ? entry : entry + 1;
}

std::string StartUpModeText(int32_t mode) {
    static const char* const kTexts[] = {"User Interface",
                                         "reserved",
                                         "ASCII Command Mode -> RS232",
                                         "reserved",
                                         "KELBus Mode -> RS232",
                                         "KELBus Mode -> RS485",
                                         "KEL I/O-Mode",
                                         "",
                                         "MixMode: I/O & KELBus -> RS232",
                                         "MixMode: I/O & KELBus -> RS485"};
    return mode >= 0 && mode <= 9 ? kTexts[mode] : "";
}

std::string Rs232ModeText(int32_t mode) {
    static const char* const kTexts[] = {"N81", "E81", "O81", "N71", "E71", "O71"};
    return mode >= 0 && mode <= 5 ? kTexts[mode] : "";
}

std::string Rs232ModeLongText(int32_t mode) {
    static const char* const kTexts[] = {
        "No parity, 8 data bit, 1 stop bit",   "Even parity, 8 data bit, 1 stop bit",
        "Odd parity, 8 data bit, 1 stop bit",  "No parity, 7 data bit, 1 stop bit",
        "Even parity, 7 data bit, 1 stop bit", "Odd parity, 7 data bit, 1 stop bit"};
    return mode >= 0 && mode <= 5 ? kTexts[mode] : "";
}

const std::vector<int32_t>& OfferedBaudRates() {
    static const std::vector<int32_t> rates = {110,  300,   600,   1200,  2400, 4800,
                                               9600, 19200, 28800, 38400, 57600};
    return rates;
}

std::string SysConfigBitText(uint32_t bit) {
    static const char* const kTexts[16] = {
        "start current regulation after start-up",
        "start position regulation after start-up",
        "stop also the current regulator after 'STOP'-signal",
        "brake after a STOP or HALT",
        "check 'ENABLE' -input",
        "check 'Left End Switch'-input",
        "check 'Right End Switch'-input",
        "check internal 'Overload on digital outputs'-signal",
        "enable clearing the high priority 'STOP'-error",
        "enable clearing 'Left End Switch'-error while still active",
        "enable clearing 'Right End Switch'-error while still active",
        "stop the cur. regul. after a pos. regul. stop",
        "use sinus-acceleration for default profile",
        "check encoder signals: needs special hardware",
        "reserved (inverting end switch && home switch)",
        "configure KEL70 for DC motor operation"};
    return bit < 16 ? kTexts[bit] : "";
}

std::string SysConfig2BitText(uint32_t bit) {
    static const char* const kTexts[4] = {
        "enable system watchdog feature", "enable clearing the watchdog error",
        "ignore watchdog error at startup", "disable overcurrent protection (only KEL70)"};
    if (bit < 4) return kTexts[bit];
    if (bit < 16) return Format("Bit%u sysConfig2  (not used)", static_cast<unsigned>(bit));
    return "";
}

std::string VersionText(VersionWord word, uint16_t value) {
    switch (word) {
        case VersionWord::kCmdVer:
        case VersionWord::kLibVer:
        case VersionWord::kAppVer:
            return Format("V %.2f", value / 100.0);
        case VersionWord::kBootVer:
            return Format("V %.1f", value / 10.0);
        case VersionWord::kHardRev:
            // Hardware revision and variant: digits 1, 2, ... show as 'A', 'B', ...; 0 as '@'.
            return Format("Rev. %.1f%c Var. %c", (value / 100) / 10.0,
                          static_cast<char>('@' + (value / 10) % 10),
                          static_cast<char>('@' + value % 10));
        case VersionWord::kAppNb:
            return Format("%u", static_cast<unsigned>(value));
    }
    return "";
}

}  // namespace kelcmd
