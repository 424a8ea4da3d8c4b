#include "api/unit_texts.h"

#include <algorithm>
#include <cstring>

namespace kelcmd {

namespace {

struct UnitTextRow {
    int32_t number;
    UnitText text;
};

constexpr UnitTextRow kUnitErrors[] = {
    {0, {"NO_ERROR", "No error"}},
    {1, {"ERROR_CUROFS0", "Bad offset in current measurement ->REBOOT"}},
    {2, {"ERROR_CUROFS1", "Bad offset in current measurement ->REBOOT"}},
    {3, {"ERROR_HALL", "Bad hall signal combination"}},
    {4, {"ERROR_GATEDRV", "Gate driver: undervoltage"}},
    {5, {"ERROR_NOBRAKE", "Braking failed (+/- reversal?)"}},
    {6, {"ERROR_ENCODER", "Bad encoder signal"}},
    {7, {"ERROR_HWCONFIG", "Bad hardware configuration"}},
    {8, {"ERROR_ENCODERSW", "Missing encoder signals (SW detection)"}},
    {10, {"ERROR_DIGOVLD", "Overload on digital outputs"}},
    {11, {"ERROR_UPLIMIT", "Target position beyond upper limit"}},
    {12, {"ERROR_LOLIMIT", "Target position below lower limit"}},
    {20, {"ERROR_POSREG", "Position error limit exceeded"}},
    {21, {"ERROR_LEFT", "Left limit switch encountered"}},
    {22, {"ERROR_RIGHT", "Right limit switch encountered"}},
    {23, {"ERROR_HOME", "Home switch not found"}},
    {24, {"ERROR_AMPDISAB", "Power stage disabled, while regulation active"}},
    {25, {"ERROR_INDEX", "Index not found"}},
    {40, {"ERROR_STOP", "STOP activated"}},
    {41, {"ERROR_CURMAX", "Current limit exceeded"}},
    {42, {"ERROR_HALT", "System halted by software"}},
    {43, {"ERROR_BRAKE", "Motor braked by software"}},
    {44, {"ERROR_OVRCUR", "Overcurrent on powerstage"}},
    {45, {"ERROR_OVRTEMP", "Overtemperature on powerstage"}},
    {46, {"ERROR_COMWATCHDOG", "Error communication watchdog"}},
    {47, {"ERROR_WATCHDOG", "Error system watchdog"}},
    {48, {"ERROR_BATCH", "Batch command stopped"}},
};
constexpr UnitText kUnknownUnitError{"ERROR_UNKNOWN", "Unknown error"};

constexpr UnitTextRow kUnitWarnings[] = {
    {0, {"NO_WARNING", "No warning"}},
    {100, {"WARN_UNKNOWN", "Unknown command"}},
    {110, {"WARN_SYNTAX", "Syntax error"}},
    {120, {"WARN_LINE", "Command line too long"}},
    {130, {"WARN_RANGE", "Value out of range"}},
    {140, {"WARN_DEF", "Additional parameters not completely defined"}},
    {150, {"WARN_ERROR", "Error not cleared - Command not allowed"}},
    {160, {"WARN_FORBID", "Requested command not allowed"}},
    {170, {"WARN_NOMOVE", "Requested motion not started or unfinished"}},
    {171, {"WARN_UPLIMIT", "Target position out of bonds"}},
    {172, {"WARN_LOLIMIT", "Target position out of bonds"}},
    {173, {"WARN_UNREACHABLE", "Position cannot be reached"}},
    {174, {"WARN_TIMEOUT", "Requested action took to much time"}},
    {180, {"WARN_POSREFOFF", "Position regulation is switched off"}},
    {181, {"WARN_CURREGOFF", "Current regulation is switched off"}},
    {182, {"WARN_AMPDISAB", "Power stage is disabled"}},
    {183, {"WARN_STOP", "STOP still activated"}},
    {184, {"WARN_LEFT", "LEFT end switch still activated"}},
    {185, {"WARN_RIGHT", "RIGHT end switch still activated"}},
    {186, {"WARN_RESET", "Reset requested"}},
    {187, {"WARN_HARDRESET", "Hardware reset required"}},
    {200, {"WARN_FLASH", "Severe problem with saving data to FLASH"}},
};
constexpr UnitText kUnknownUnitWarning{"WARNING_UNKNOWN", "Unknown warning"};

template <size_t N>
UnitText Lookup(const UnitTextRow (&table)[N], int32_t number, UnitText fallback) {
    for (const UnitTextRow& row : table) {
        if (row.number == number) return row.text;
    }
    return fallback;
}

int Fill(UnitText entry, char* name, uint32_t nameSize, char* text, uint32_t textSize) {
    CopyTruncated(entry.mnemonic, name, nameSize);
    CopyTruncated(entry.text, text, textSize);
    return 1;
}

}  // namespace

void CopyTruncated(std::string_view value, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return;
    const size_t length = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

UnitText LookupUnitError(int32_t number) {
    return Lookup(kUnitErrors, number, kUnknownUnitError);
}

UnitText LookupUnitWarning(int32_t number) {
    return Lookup(kUnitWarnings, number, kUnknownUnitWarning);
}

int FillUnitErrorText(int16_t code, char* name, uint32_t nameSize, char* text, uint32_t textSize) {
    return Fill(LookupUnitError(code), name, nameSize, text, textSize);
}

int FillUnitWarningText(int16_t code, char* name, uint32_t nameSize, char* text,
                        uint32_t textSize) {
    return Fill(LookupUnitWarning(code), name, nameSize, text, textSize);
}

}  // namespace kelcmd
