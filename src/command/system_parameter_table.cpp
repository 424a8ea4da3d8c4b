#include "command/system_parameter_table.h"

#include <cstring>
#include <span>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr SystemParameterInfo kShortTable[kLastShortSystemParameter + 1] = {
    {"Number of changes done yet", TYPE_INT, "", 20},
    {"Axis Number", TYPE_BYTE, "", 0},
    {"Start-up mode", TYPE_INT, "", 2},
    {"RS232 Baudrate", TYPE_LINT, "Baud", 4},
    {"RS232 Mode", TYPE_INT, "", 8},
    {"RS485 Baudrate", TYPE_LINT, "Baud", 10},
    {"Group address", TYPE_BYTE, "", 1},
    {"System Configuration", TYPE_WORD, "", 14},
    {"", TYPE_INT, "", 16},
    {"Supply voltage", TYPE_INT, "Volt", 18},
    {"Encoder resolution", TYPE_INT, "counts/turn", 22},
    {"Max. velocity", TYPE_INT, "rpm", 24},
    {"Min. acceleration time", TYPE_WORD, "ms", 26},
    {"Max. peak current", TYPE_INT, "mA", 28},
    {"Max.continuous current", TYPE_INT, "mA", 30},
    {"Gear ratio", TYPE_FLOAT, "n:1", 32},
    {"Total inertia", TYPE_FLOAT, "g*cm^2", 36},
    {"Torque constant", TYPE_FLOAT, "mNm/A", 40},
    {"Speed constant", TYPE_FLOAT, "rpm/V", 44},
    {"Current Delta", TYPE_INT, "", 48},
    {"Max. position error", TYPE_LINT, "qc", 50},
    {"Upper position limit", TYPE_LINT, "qc", 54},
    {"Enable upper position limit", TYPE_INT, "", 58},
    {"Lower position limit", TYPE_LINT, "qc", 60},
    {"Enable lower position limit", TYPE_INT, "", 64},
    {"Position gain P", TYPE_INT, "", 66},
    {"Position gain I", TYPE_INT, "", 68},
    {"Position gain D", TYPE_INT, "", 70},
    {"Current gain P", TYPE_INT, "", 72},
    {"Current gain I", TYPE_INT, "", 74},
    {"Type of home procedure", TYPE_INT, "", 76},
    {"HOME velocity", TYPE_FLOAT, "qc/ms", 78},
    {"Current threshold for Home", TYPE_INT, "mA", 82},
    {"Home offset position", TYPE_LINT, "qc", 84},
    {"Max.Pulse Length Speed", TYPE_INT, "qc/ms", 88},
    {"Auxiliary Encoder Mode", TYPE_INT, "", 90},
    {"Auxiliary Encoder Gain", TYPE_FLOAT, "n:1", 92},
    {"BrakeGain", TYPE_INT, "", 96},
    {"Home PositionHi", TYPE_INT, "", 98},
    {"Home PositionLo", TYPE_INT, "", 100},
    {"One rotor revolution", TYPE_LINT, "qc", 102},
    {"One load revolution", TYPE_LINT, "qc", 106},
};

constexpr const char* kExtensionNames[36] = {
    "ExtParam[0]",  "ExtParam[1]",  "ExtParam[2]",  "ExtParam[3]",  "ExtParam[4]",  "ExtParam[5]",
    "ExtParam[6]",  "ExtParam[7]",  "ExtParam[8]",  "ExtParam[9]",  "ExtParam[10]", "ExtParam[11]",
    "ExtParam[12]", "ExtParam[13]", "ExtParam[14]", "ExtParam[15]", "ExtParam[16]", "ExtParam[17]",
    "ExtParam[18]", "ExtParam[19]", "ExtParam[20]", "ExtParam[21]", "ExtParam[22]", "ExtParam[23]",
    "ExtParam[24]", "ExtParam[25]", "ExtParam[26]", "ExtParam[27]", "ExtParam[28]", "ExtParam[29]",
    "ExtParam[30]", "ExtParam[31]", "ExtParam[32]", "ExtParam[33]", "ExtParam[34]", "ExtParam[35]"};

const std::array<SystemParameterInfo, kSystemParameterCount>& Table() {
    static const std::array<SystemParameterInfo, kSystemParameterCount> table = [] {
        std::array<SystemParameterInfo, kSystemParameterCount> all{};
        for (size_t i = 0; i <= kLastShortSystemParameter; ++i) all[i] = kShortTable[i];
        all[42] = {"ExtendTag", TYPE_WORD, "", 110};
        for (size_t i = 0; i < 36; ++i) {
            all[43 + i] = {kExtensionNames[i], TYPE_LINT, "", static_cast<uint16_t>(112 + 4 * i)};
        }
        return all;
    }();
    return table;
}

// A layout applied to host memory: each field between host order and most significant byte first.
void ToWire(const StructureLayout& layout, const uint8_t* host, uint8_t* wire) {
    size_t offset = 0;
    for (uint8_t width : layout) {
        uint32_t value = 0;
        if (width == 1) value = host[offset];
        if (width == 2) {
            uint16_t narrow;
            std::memcpy(&narrow, host + offset, 2);
            value = narrow;
        }
        if (width == 4) std::memcpy(&value, host + offset, 4);
        for (size_t i = 0; i < width; ++i) {
            wire[offset + i] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
        }
        offset += width;
    }
}

void FromWire(const StructureLayout& layout, const uint8_t* wire, uint8_t* host) {
    size_t offset = 0;
    for (uint8_t width : layout) {
        uint32_t value = 0;
        for (size_t i = 0; i < width; ++i) value = (value << 8) | wire[offset + i];
        if (width == 1) host[offset] = static_cast<uint8_t>(value);
        if (width == 2) {
            const auto narrow = static_cast<uint16_t>(value);
            std::memcpy(host + offset, &narrow, 2);
        }
        if (width == 4) std::memcpy(host + offset, &value, 4);
        offset += width;
    }
}

}  // namespace

const SystemParameterInfo* FindSystemParameter(uint32_t number) {
    return number <= kLastSystemParameter ? &Table()[number] : nullptr;
}

uint32_t SystemParameterWidth(uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    return info != nullptr ? ParameterTypeSize(info->type) : 0;
}

const StructureLayout& SysParamLayout() {
    static const StructureLayout layout = {1, 1, 2, 4, 2, 4, 2, 2, 2, 2, 2, 2, 2, 2,
                                           2, 4, 4, 4, 4, 2, 4, 4, 2, 4, 2, 2, 2, 2,
                                           2, 2, 2, 4, 2, 4, 2, 2, 4, 2, 2, 2, 4, 4};
    return layout;
}

const StructureLayout& SysParamExLayout() {
    static const StructureLayout layout = [] {
        StructureLayout all = SysParamLayout();
        all.push_back(2);                       // ExtendTag
        all.insert(all.end(), 36, uint8_t{4});  // ExtParam[0..35]
        return all;
    }();
    return layout;
}

void InstallSysParamLayouts() {
    SetStructureLayout(TYPE_SYSPARAM, SysParamLayout());
    SetStructureLayout(TYPE_SYSPARAM_EX, SysParamExLayout());
}

const T_SysParam& DefaultSysParam() {
    static const T_SysParam set = [] {
        T_SysParam s{};
        s.axisNumber = 1;
        s.groupAddress = 128;
        s.startUpMode = 0;
        s.rs232Baudrate = 19200;
        s.rs232Mode = 0;
        s.rs485Baudrate = 19200;
        s.sysConfig = 231;  // bits 0, 1, 2, 5, 6, 7
        s.supplyVoltage = 24;
        s.encoderResolution = 500;
        s.maxVelocity = 6000;
        s.minAccelerationTime = 200;
        s.maxPeakCurrent = 2000;
        s.maxContinuousCurrent = 1200;
        s.gearRatio = 1.0f;
        s.totalInertia = 85.0f;
        s.torqueConstant = 38.2f;
        s.speedConstant = 250.0f;
        s.currentDelta = 80;
        s.maxPositionError = 2000;
        s.upperPositionLimit = 100000;
        s.lowerPositionLimit = -100000;
        s.positionGainP = 1656;
        s.positionGainI = 100;
        s.positionGainD = 1331;
        s.currentGainP = 100;
        s.currentGainI = 51;
        s.homeType = 8;
        s.homeVelocity = 10.0f;
        s.homeCurrentThreshold = 400;
        s.homeOffsetPosition = 500;
        s.maxPulseLengthSpeed = 200;
        s.auxEncoderGain = 1.0f;
        s.brakeGain = 90;
        return s;
    }();
    return set;
}

const T_SysParamEx& DefaultSysParamEx() {
    static const T_SysParamEx set = [] {
        T_SysParamEx s{};
        s.sysParam = DefaultSysParam();
        s.extendTag = 54321;
        return s;
    }();
    return set;
}

std::array<uint8_t, 110> SysParamToWire(const T_SysParam& set) {
    std::array<uint8_t, 110> wire{};
    ToWire(SysParamLayout(), reinterpret_cast<const uint8_t*>(&set), wire.data());
    return wire;
}

std::array<uint8_t, 256> SysParamExToWire(const T_SysParamEx& set) {
    std::array<uint8_t, 256> wire{};
    ToWire(SysParamExLayout(), reinterpret_cast<const uint8_t*>(&set), wire.data());
    return wire;
}

T_SysParam SysParamFromWire(const std::array<uint8_t, 110>& wire) {
    T_SysParam set{};
    FromWire(SysParamLayout(), wire.data(), reinterpret_cast<uint8_t*>(&set));
    return set;
}

T_SysParamEx SysParamExFromWire(const std::array<uint8_t, 256>& wire) {
    T_SysParamEx set{};
    FromWire(SysParamExLayout(), wire.data(), reinterpret_cast<uint8_t*>(&set));
    return set;
}

}  // namespace kelcmd
