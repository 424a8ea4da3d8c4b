#pragma once

#include <string>
#include <vector>

namespace kelcmd::app {

// The program's own commands (scan, demo, ...), in the order of its help.
const std::vector<std::string>& ProgramCommands();

// The command that `typed` names without regard to case, spelled as the program knows it (a
// program command or a unit command such as "MoveAbsolute"); empty when it names none.
std::string CanonicalCommand(const std::string& typed);

// The known command nearest to an unknown `typed`, when it is a likely slip (a few letters
// wrong, missing, extra or swapped); empty otherwise.
std::string NearestCommand(const std::string& typed);

}  // namespace kelcmd::app
