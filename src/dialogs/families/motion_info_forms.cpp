// The motion info family: read-outs of position, velocity and current, and the axis information.
#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {
namespace {

// Every return parameter of the family with its label and unit.
FieldLayout Reading(const std::string& parameter) {
    static const std::map<std::string, std::pair<const char*, const char*>> labels = {
        {"positionIs", {"Effective Position", "qc"}},
        {"positionMust", {"Must Position", "qc"}},
        {"velocityIs", {"Effective Velocity", "qc/ms"}},
        {"velocityMean", {"Mean Velocity", "qc/ms"}},
        {"velocityMust", {"Must Velocity", "qc/ms"}},
        {"currentIs", {"Effective Current", "mA"}},
        {"currentMean", {"Mean Current", "mA"}},
        {"currentMust", {"Must Current", "mA"}},
    };
    const auto& [label, unit] = labels.at(parameter);
    return Number(parameter, label, unit);
}

CommandForms Readings(const std::string& title, const std::vector<std::string>& parameters) {
    FormLayout form{title, {}};
    for (const std::string& parameter : parameters) form.fields.push_back(Reading(parameter));
    return {.result = form};
}

}  // namespace

void AddMotionInfoForms(FormTable& table) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> readings = {
        {"ReadPosition", {"positionIs"}},
        {"ReadPositionMust", {"positionMust"}},
        {"ReadPositionIsMust", {"positionIs", "positionMust"}},
        {"ReadVelocity", {"velocityIs"}},
        {"ReadVelocityMean", {"velocityMean"}},
        {"ReadVelocityMust", {"velocityMust"}},
        {"ReadVelocityIsMust", {"velocityIs", "velocityMust"}},
        {"ReadCurrent", {"currentIs"}},
        {"ReadCurrentMean", {"currentMean"}},
        {"ReadCurrentMust", {"currentMust"}},
        {"ReadCurrentIsMust", {"currentIs", "currentMust"}},
        {"ReadPosVelCur", {"positionIs", "velocityIs", "currentIs"}},
        {"ReadPosVelCurMean", {"positionIs", "velocityMean", "currentMean"}},
        {"ReadPosVelCurMust", {"positionMust", "velocityMust", "currentMust"}},
        {"ReadPosVelCurIsMust",
         {"positionIs", "velocityIs", "currentIs", "positionMust", "velocityMust", "currentMust"}},
    };
    for (const auto& [command, parameters] : readings) {
        table[command] = Readings(command, parameters);
    }

    FormLayout info{"ReadAxisInfo",
                    {Bits("status", "Axis Status", AxisStatusBits()),
                     Bits("predefinedInputs", "Predefined Inputs", PredefinedInputBits()),
                     Bits("userInputs", "User Inputs", NumberedBits("Input ", 1, 8)),
                     Reading("positionIs"), Reading("velocityMean"), Reading("currentMean")}};
    table["ReadAxisInfo"] = {.result = info};
}

}  // namespace kelcmd::dialogs
