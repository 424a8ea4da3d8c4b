#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelcmd::studio {

// The words of a typed line, split at white space.
std::vector<std::string> SplitWords(const std::string& line);

// The command names that start with `prefix` (letter case ignored), in the catalogue's order.
std::vector<std::string> CompleteCommand(const std::string& prefix);

// What the command takes: "MoveAbsolute position timeout  (i32 u32)", with "   -> outputs" when
// it returns values; empty for a name that is no command.
std::string CommandHint(const std::string& name);

// Runs a line as kelcmd takes its command words ("MoveAbsolute 1000 5000", optionally after
// "--slave N") on `port` and `slave`, and gives what kelcmd prints about it. "commands" lists the
// commands. Runs the exchange in the calling thread.
std::string RunCommandLine(const std::string& port, uint8_t slave, const std::string& line);

// The lines typed before, oldest first, without repeating the last one; Up and Down walk them.
class CommandHistory {
  public:
    static constexpr size_t kCapacity = 200;

    void Add(const std::string& line);
    // The line before (after) the one shown; Newer past the newest gives "".
    std::string Older();
    std::string Newer();
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
    size_t position_ = 0;  // lines_.size(): past the newest
};

}  // namespace kelcmd::studio
