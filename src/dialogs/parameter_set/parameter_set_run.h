#pragma once

#include <span>
#include <string>

namespace kelcmd {
class CKelCommand;
class CParameterList;
struct StructureAttachment;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// The caption above a command's list: its name and type number, "Jog ( 0x7A )".
std::string ParameterSetCaption(const CKelCommand& command);

// "Enter Parameter" over the outgoing side of `list`: 1 at once without outgoing parameters, 1 on
// "&OK" with the edited values stored into `list`, 0 on "&Cancel" (`list` unchanged).
int EnterParameters(CParameterList& list, std::span<const StructureAttachment> attachments,
                    const std::string& caption);

// "Show Return Parameter" over the incoming side: 1 at once without incoming parameters, 1 when
// shown, 0 when the values were not read.
int ShowReturnParameters(const CParameterList& list,
                         std::span<const StructureAttachment> attachments,
                         const std::string& caption);

}  // namespace kelcmd::dialogs
