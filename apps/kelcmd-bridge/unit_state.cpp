#include "unit_state.h"

#include <nlohmann/json.hpp>

#include "axis_status_bits.h"
#include "failure_report.h"
#include "kelcmd/kelcmd.h"
#include "replies.h"

namespace kelcmd::bridge {
namespace {

using Json = nlohmann::ordered_json;

Json NumberWithTexts(int16_t number, bool warning) {
    char name[64] = {};
    char text[256] = {};
    if (warning)
        GetWarningText(number, name, sizeof name, text, sizeof text);
    else
        GetErrorText(number, name, sizeof name, text, sizeof text);
    return Json{{"number", number}, {"mnemonic", name}, {"text", text}};
}

Json Versions(const ScannedUnit& unit) {
    if (!unit.versionsRead) return nullptr;
    return Json{{"command_set", unit.cmdVer},      {"library", unit.libVer},
                {"hardware", unit.hardRev},        {"boot", unit.bootVer},
                {"application", unit.appNb},       {"application_version", unit.appVer},
                {"text", UnitVersionSummary(unit)}};
}

Json Unreachable(uint8_t address) {
    return Json{{"unit", address}, {"reachable", false}, {"reason", app::LastFailureText()}};
}

}  // namespace

std::string ReadUnitState(const std::string& port, const ScannedUnit& unit) {
    const char* name = port.c_str();
    int32_t position = 0;
    float velocity = 0;
    int16_t current = 0;
    uint16_t status = 0;
    int16_t error = 0;
    int16_t warning = 0;
    if (MP_ReadPosVelCur(name, unit.address, &position, &velocity, &current) != 1 ||
        MP_ReadAxisStatus(name, unit.address, &status) != 1 ||
        MP_ReadError(name, unit.address, &error) != 1 ||
        MP_ReadWarning(name, unit.address, &warning) != 1)
        return Unreachable(unit.address).dump();

    Json bits = Json::object();
    for (int bit = 0; bit < 16; ++bit) bits[app::kAxisStatusBits[bit]] = ((status >> bit) & 1) != 0;
    Json state;
    state["unit"] = unit.address;
    state["reachable"] = true;
    state["position"] = position;
    state["velocity"] = SentFloat(velocity);
    state["current"] = current;
    state["status_word"] = status;
    state["status"] = std::move(bits);
    state["error"] = NumberWithTexts(error, false);
    state["warning"] = NumberWithTexts(warning, true);
    state["versions"] = Versions(unit);
    return state.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace kelcmd::bridge
