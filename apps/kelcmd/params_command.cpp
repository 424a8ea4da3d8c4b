#include "params_command.h"

#include <cstdio>

#include "api/system_parameter_texts.h"
#include "command/system_parameter_table.h"
#include "kelcmd/kelcmd.h"

namespace kelcmd::app {
namespace {

// The value of one parameter from a set's wire image, where fields lie most significant byte
// first at the offsets of the parameter table.
uint32_t WireBits(std::span<const uint8_t> wire, uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    const uint32_t width = SystemParameterWidth(number);
    uint32_t bits = 0;
    for (uint32_t i = 0; i < width && info->offset + i < wire.size(); ++i) {
        bits = bits << 8 | wire[info->offset + i];
    }
    return bits;
}

void PrintParameters(std::span<const uint8_t> wire, uint32_t last) {
    for (uint32_t number = 0; number <= last; ++number) {
        std::string name = SystemParameterName(number);
        if (name.empty()) name = "(sysConfig2)";  // the second switch word has no name of its own
        const std::string unit = SystemParameterUnit(number);
        std::printf("%2u  %-30s %s%s%s\n", number, name.c_str(),
                    SystemParameterValueText(number, WireBits(wire, number)).c_str(),
                    unit.empty() ? "" : " ", unit.c_str());
    }
}

}  // namespace

int RunParams(Session& session, const std::vector<std::string>& arguments) {
    bool permanent = false;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--permanent") {
            permanent = true;
        } else {
            std::fprintf(stderr, "kelcmd: params: %s '%s'\nusage: kelcmd params [--permanent]\n",
                         arguments[i].rfind("-", 0) == 0 ? "unknown option" : "extra argument",
                         arguments[i].c_str());
            return 2;
        }
    }
    const char* port = session.options().port.c_str();
    const uint8_t slave = session.options().slave;
    const char* copy = permanent ? "permanent" : "temporary";

    // Older units know only the short set, so the extended read may be refused.
    T_SysParamEx extended{};
    const int32_t readEx = permanent ? MP_ReadAllPermParamEx(port, slave, &extended)
                                     : MP_ReadAllTempParamEx(port, slave, &extended);
    if (readEx != 0) {
        std::printf("%s system parameters of unit %u (extended set)\n", copy, slave);
        const auto wire = SysParamExToWire(extended);
        PrintParameters(wire, kLastSystemParameter);
        return 0;
    }
    T_SysParam shortSet{};
    const int32_t readShort = permanent ? MP_ReadAllPermParam(port, slave, &shortSet)
                                        : MP_ReadAllTempParam(port, slave, &shortSet);
    if (readShort == 0) {
        std::fprintf(stderr, "kelcmd: cannot read the %s system parameters of unit %u\n", copy,
                     slave);
        return 1;
    }
    std::printf("%s system parameters of unit %u (short set)\n", copy, slave);
    const auto wire = SysParamToWire(shortSet);
    PrintParameters(wire, kLastShortSystemParameter);
    return 0;
}

}  // namespace kelcmd::app
