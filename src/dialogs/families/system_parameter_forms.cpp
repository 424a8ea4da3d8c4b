// The system parameter family: single parameters, the regulators' gains and the version words.
// The whole set has its own property sheet.
#include "api/system_parameter_texts.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_table.h"
#include "dialogs/families/single_parameter.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

int ShowVersion(CKelStandardCommand& command) {
    static const std::vector<std::pair<const char*, VersionWord>> words = {
        {"Command Interpreter", VersionWord::kCmdVer},
        {"Runtime Library", VersionWord::kLibVer},
        {"Hardware revision", VersionWord::kHardRev},
        {"Bootrom version", VersionWord::kBootVer},
        {"Application number", VersionWord::kAppNb},
        {"Application version", VersionWord::kAppVer}};
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t i = 0; i < words.size(); ++i) {
        const auto value = static_cast<uint16_t>(ReadUnsigned(command.Wire().GetReturnValue(i)));
        rows.emplace_back(words[i].first, VersionText(words[i].second, value));
    }
    return ShowTexts("ReadVersion", rows);
}

std::vector<FieldLayout> Gains(const char* third, const char* thirdLabel) {
    return {Number("gainP", "Proportional gain"), Number("gainI", "Integral gain"),
            Number(third, thirdLabel)};
}

}  // namespace

void AddSystemParameterForms(FormTable& table) {
    table["ReadVersion"] = {.showResult = ShowVersion};
    for (const char* command : {"ReadTempParam", "ReadPermanentParam"}) {
        table[command] = {.editInput = ChooseParameter, .showResult = ShowParameter};
    }
    table["SetCurrentGains"] = {.input = FormLayout{"SetCurrentGains", Gains("gain3", "Gain 3")}};
    table["ReadCurrentGains"] = {.result =
                                     FormLayout{"ReadCurrentGains", Gains("gain3", "Gain 3")}};
    table["SetPositionGains"] = {
        .input = FormLayout{"SetPositionGains", Gains("gainD", "Differential gain")}};
    table["ReadPositionGains"] = {
        .result = FormLayout{"ReadPositionGains", Gains("gainD", "Differential gain")}};
}

}  // namespace kelcmd::dialogs
