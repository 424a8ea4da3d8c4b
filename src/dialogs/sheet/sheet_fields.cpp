// The fields of the system parameter sheet, page by page, with their defaults and checks.
#include <cstddef>

#include "api/system_parameter_texts.h"
#include "command/parameter_types.h"
#include "dialogs/families/form_table.h"
#include "dialogs/sheet/parameter_sheet_model.h"

namespace kelcmd::dialogs {
namespace {

#define SHORT_AT(member) (offsetof(T_SysParamEx, sysParam) + offsetof(T_SysParam, member))

size_t ExtParamAt(int index) {
    return offsetof(T_SysParamEx, extParam) + 4 * static_cast<size_t>(index);
}

SheetField Field(int page, std::string group, std::string label, uint8_t type, size_t offset,
                 std::string defaultText, std::string unit = {}) {
    SheetField field;
    field.page = page;
    field.group = std::move(group);
    field.label = std::move(label);
    field.type = type;
    field.offset = offset;
    field.defaultText = std::move(defaultText);
    field.unit = std::move(unit);
    return field;
}

SheetField ListField(SheetField field, std::vector<std::string> choices, std::vector<int64_t> codes,
                     std::string warning) {
    field.kind = SheetFieldKind::kList;
    field.choices = std::move(choices);
    field.codes = std::move(codes);
    field.listWarning = std::move(warning);
    return field;
}

SheetField Switch(int page, const std::string& label, size_t offset, uint8_t type, int bit,
                  std::string defaultText) {
    SheetField field = Field(page, {}, label, type, offset, std::move(defaultText));
    field.kind = SheetFieldKind::kCheck;
    field.bit = bit;
    return field;
}

SheetField ReadOnly(SheetField field, bool hex = false) {
    field.kind = SheetFieldKind::kReadOnly;
    field.hex = hex;
    return field;
}

std::vector<int64_t> Consecutive(int64_t first, size_t count) {
    std::vector<int64_t> codes;
    for (size_t i = 0; i < count; ++i) codes.push_back(first + static_cast<int64_t>(i));
    return codes;
}

// The start-up modes the unit knows by name; the "reserved" codes are not offered.
SheetField StartUpMode() {
    std::vector<std::string> names;
    const std::vector<int64_t> codes = {0, 2, 4, 5, 6, 8, 9};
    for (const int64_t code : codes) names.push_back(StartUpModeText(static_cast<int32_t>(code)));
    return ListField(Field(kInitialisationPage, "Start-up", "Mode", TYPE_INT, SHORT_AT(startUpMode),
                           "User Interface"),
                     names, codes, "Incorrect Mode!");
}

// The baud rates are stored as the plain rate.
SheetField BaudRate(const std::string& group, size_t offset) {
    std::vector<std::string> names;
    std::vector<int64_t> codes;
    for (const int32_t rate : OfferedBaudRates()) {
        names.push_back(std::to_string(rate));
        codes.push_back(rate);
    }
    return ListField(Field(kInitialisationPage, group, "Baudrate", TYPE_LINT, offset, "19200"),
                     names, codes, "Incorrect Baudrate!");
}

void InitialisationPage(std::vector<SheetField>& fields) {
    SheetField axis =
        Field(kInitialisationPage, {}, "Axis number", TYPE_BYTE, SHORT_AT(axisNumber), "1");
    axis.clamp = std::pair<int64_t, int64_t>{1, 127};
    SheetField group =
        Field(kInitialisationPage, {}, "Group address", TYPE_BYTE, SHORT_AT(groupAddress), "128");
    group.clamp = std::pair<int64_t, int64_t>{128, 254};
    fields.push_back(axis);
    fields.push_back(group);
    fields.push_back(StartUpMode());
    fields.push_back(BaudRate("RS232", SHORT_AT(rs232Baudrate)));
    std::vector<std::string> modes;
    for (int32_t mode = 0; mode < 6; ++mode) modes.push_back(Rs232ModeLongText(mode));
    fields.push_back(ListField(
        Field(kInitialisationPage, "RS232", "Mode", TYPE_INT, SHORT_AT(rs232Mode), modes.front()),
        modes, Consecutive(0, modes.size()), "Incorrect Mode!"));
    fields.push_back(BaudRate("RS485", SHORT_AT(rs485Baudrate)));
    fields.push_back(Field(kInitialisationPage, "Supply", "Voltage", TYPE_INT,
                           SHORT_AT(supplyVoltage), "24", "[V]"));
}

void ConfigurationPages(std::vector<SheetField>& fields) {
    // In the order the page lists them: bit and default ("" for the reserved bit, which the
    // defaults leave alone).
    const std::vector<std::pair<int, const char*>> switches = {
        {0, "1"},  {1, "1"}, {11, "0"}, {2, "1"}, {4, "0"},  {5, "1"}, {6, "1"},  {7, "1"},
        {13, "0"}, {14, ""}, {8, "0"},  {9, "0"}, {10, "0"}, {3, "0"}, {12, "0"}, {15, "0"}};
    for (const auto& [bit, defaultText] : switches) {
        fields.push_back(Switch(kConfigurationPage, SysConfigBitText(static_cast<uint32_t>(bit)),
                                SHORT_AT(sysConfig), TYPE_WORD, bit, defaultText));
    }
    for (int bit = 0; bit < 16; ++bit) {
        fields.push_back(Switch(kConfiguration2Page, SysConfig2BitText(static_cast<uint32_t>(bit)),
                                SHORT_AT(sysConfig2), TYPE_INT, bit, "0"));
    }
}

void DriveUnitPage(std::vector<SheetField>& fields) {
    const int page = kDriveUnitPage;
    fields.push_back(Field(page, {}, "Encoder resolution", TYPE_INT, SHORT_AT(encoderResolution),
                           "500", "[counts / turn]"));
    fields.push_back(Field(page, {}, "Gear ratio", TYPE_FLOAT, SHORT_AT(gearRatio), "1", "[n:1]"));
    fields.push_back(
        Field(page, {}, "Max. peak current", TYPE_INT, SHORT_AT(maxPeakCurrent), "2000", "[mA]"));
    fields.push_back(Field(page, {}, "Max. continuous current", TYPE_INT,
                           SHORT_AT(maxContinuousCurrent), "1200", "[mA]"));
    fields.push_back(
        Field(page, {}, "Max. velocity", TYPE_INT, SHORT_AT(maxVelocity), "6000", "[rpm]"));
    fields.push_back(Field(page, {}, "Min. acceleration time", TYPE_WORD,
                           SHORT_AT(minAccelerationTime), "200", "[ms]"));
    fields.push_back(
        Field(page, {}, "Total inertia", TYPE_FLOAT, SHORT_AT(totalInertia), "85", "[g*cm2]"));
    fields.push_back(Field(page, {}, "Torque constant", TYPE_FLOAT, SHORT_AT(torqueConstant),
                           "38.2", "[mNm/A]"));
    fields.push_back(
        Field(page, {}, "Speed constant", TYPE_FLOAT, SHORT_AT(speedConstant), "250", "[rpm/V]"));
    fields.push_back(Field(page, {}, "Current Delta", TYPE_INT, SHORT_AT(currentDelta), "80"));
}

void RegulationPage(std::vector<SheetField>& fields) {
    const int page = kRegulationPage;
    fields.push_back(
        Field(page, "Position", "Proportional gain", TYPE_INT, SHORT_AT(positionGainP), "1656"));
    fields.push_back(
        Field(page, "Position", "Integral gain", TYPE_INT, SHORT_AT(positionGainI), "100"));
    fields.push_back(
        Field(page, "Position", "Differential gain", TYPE_INT, SHORT_AT(positionGainD), "1331"));
    fields.push_back(Field(page, "Position", "Max. position error", TYPE_LINT,
                           SHORT_AT(maxPositionError), "2000", "[qc]"));
    fields.push_back(Field(page, "Lower (software) position limit",
                           "Lower (software) position limit", TYPE_LINT,
                           SHORT_AT(lowerPositionLimit), "-100000", "[qc]"));
    fields.push_back(Switch(page, "Enable", SHORT_AT(enableLowerPositionLimit), TYPE_INT, -1, "0"));
    fields.back().group = "Lower (software) position limit";
    fields.push_back(Field(page, "Upper (software) position limit",
                           "Upper (software) position limit", TYPE_LINT,
                           SHORT_AT(upperPositionLimit), "100000", "[qc]"));
    fields.push_back(Switch(page, "Enable", SHORT_AT(enableUpperPositionLimit), TYPE_INT, -1, "0"));
    fields.back().group = "Upper (software) position limit";
    fields.push_back(
        Field(page, "Current", "Proportional gain", TYPE_INT, SHORT_AT(currentGainP), "100"));
    fields.push_back(
        Field(page, "Current", "Integral gain", TYPE_INT, SHORT_AT(currentGainI), "51"));
}

void SpecialPage(std::vector<SheetField>& fields) {
    const int page = kSpecialPage;
    const std::vector<std::string>& homes = HomeProcedureNames();
    fields.push_back(ListField(
        Field(page, {}, "Type of home procedure", TYPE_INT, SHORT_AT(homeType), "Current index"),
        homes, Consecutive(1, homes.size()), "Incorrect Home Procedure!"));
    fields.push_back(
        Field(page, {}, "HOME velocity", TYPE_FLOAT, SHORT_AT(homeVelocity), "10", "[qc/ms]"));
    fields.push_back(Field(page, {}, "Current threshold for Home", TYPE_INT,
                           SHORT_AT(homeCurrentThreshold), "400", "[mA]"));
    fields.push_back(Field(page, {}, "Home offset position", TYPE_LINT,
                           SHORT_AT(homeOffsetPosition), "500", "[qc]"));
    fields.push_back(Field(page, {}, "Max. Pulse Length Speed", TYPE_INT,
                           SHORT_AT(maxPulseLengthSpeed), "200", "[qc/ms]"));
    const std::vector<std::string> encoders = {"No auxiliary encoder is connected",
                                               "Encoder with signals A and Direction",
                                               "Encoder with 90° phase-shifted signals A, B"};
    fields.push_back(ListField(Field(page, {}, "Auxiliary Encoder Mode", TYPE_INT,
                                     SHORT_AT(auxEncoderMode), encoders.front()),
                               encoders, Consecutive(0, encoders.size()), "Incorrect Mode"));
    fields.push_back(Field(page, {}, "Auxiliary Encoder Gain", TYPE_FLOAT, SHORT_AT(auxEncoderGain),
                           "1", "[n:1]"));
    fields.push_back(Field(page, {}, "Brake Gain", TYPE_INT, SHORT_AT(brakeGain), "90"));
    SheetField home =
        Field(page, {}, "Home Position", TYPE_LINT, SHORT_AT(homePositionHi), "0", "qc");
    home.split = true;
    fields.push_back(home);
}

void InfoPage(std::vector<SheetField>& fields) {
    fields.push_back(ReadOnly(
        Field(kInfoPage, {}, "Number of changes done yet", TYPE_INT, SHORT_AT(changeCount), {})));
    fields.push_back(ReadOnly(Field(kInfoPage, {}, "One rotor revolution", TYPE_LINT,
                                    SHORT_AT(rotorRevolution), {}, "[qc]")));
    fields.push_back(ReadOnly(Field(kInfoPage, {}, "One load revolution", TYPE_LINT,
                                    SHORT_AT(loadRevolution), {}, "[qc]")));
}

// The COM watchdog timeout is the first extension word, the CRC of the set the last one.
void ExtendedPage(std::vector<SheetField>& fields) {
    const int page = kExtendedPage;
    fields.push_back(Field(page, {}, "COM Watchdog Timeout", TYPE_LINT, ExtParamAt(0), {},
                           "[ms] (0 = disabled)"));
    fields.push_back(
        ReadOnly(Field(page, "CRC of System Parameters", "(Dec)", TYPE_LINT, ExtParamAt(35), {})));
    fields.push_back(ReadOnly(
        Field(page, "CRC of System Parameters", "(Hex)", TYPE_LINT, ExtParamAt(35), {}), true));
    fields.push_back(
        Field(page, {}, "ExtendTag", TYPE_WORD, offsetof(T_SysParamEx, extendTag), {}));
    for (int i = 0; i < 36; ++i) {
        fields.push_back(Field(page, "ExtParam", "ExtParam[" + std::to_string(i) + "]", TYPE_LINT,
                               ExtParamAt(i), {}));
    }
}

}  // namespace

const char* SheetPageTitle(int page) {
    static const char* const titles[] = {"Initialisation ot the control unit",
                                         "System Configuration",
                                         "System Configuration 2",
                                         "Drive unit",
                                         "Regulation",
                                         "Special Parameter",
                                         "Info",
                                         "Extended Parameter"};
    return page >= 0 && page < kSheetPageCount ? titles[page] : "";
}

std::vector<SheetField> SheetFields(bool extended) {
    std::vector<SheetField> fields;
    InitialisationPage(fields);
    ConfigurationPages(fields);
    DriveUnitPage(fields);
    RegulationPage(fields);
    SpecialPage(fields);
    InfoPage(fields);
    if (extended) ExtendedPage(fields);
    return fields;
}

}  // namespace kelcmd::dialogs
