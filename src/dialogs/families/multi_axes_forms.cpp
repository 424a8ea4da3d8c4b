// The multi-axes family: motions prepared on each unit, started together later; the Info
// variants report the motion's flags and duration.
#include "dialogs/families/form_table.h"

namespace kelcmd::dialogs {
namespace {

FormLayout MotionInfoResult(const std::string& title) {
    return {title,
            {Number("duration", "Duration", "ms"), Bits("flags", "Flags", MotionFlagBits())}};
}

}  // namespace

void AddMultiAxesForms(FormTable& table) {
    const std::vector<std::tuple<const char*, FieldLayout>> motions = {
        {"InitMoveAbsolute", Number("position", "Position", "qc")},
        {"InitMoveRelative", Number("relPosition", "Step", "qc")},
        {"InitSetVelocity", Number("velocity", "Velocity", "qc/ms")},
    };
    for (const auto& [command, field] : motions) {
        const std::string plain = command;
        const std::string info = plain + "Info";
        table[plain] = {.input = FormLayout{plain, {field}}};
        table[info] = {.input = FormLayout{info, {field}}, .result = MotionInfoResult(info)};
    }
}

}  // namespace kelcmd::dialogs
