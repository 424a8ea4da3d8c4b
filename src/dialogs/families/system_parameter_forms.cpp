// The system parameter family's result that is code: the version words with their texts.
#include "api/system_parameter_texts.h"
#include "command/kel_standard_command.h"
#include "command/parameter_list.h"
#include "dialogs/families/command_windows.h"
#include "dialogs/families/form_hooks.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
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

}  // namespace kelcmd::dialogs
