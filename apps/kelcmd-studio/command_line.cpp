#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "api/command_export.h"
#include "hex.h"
#include "named_export_run.h"

namespace kelcmd::studio {
namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The argument codes of `name` from the catalogue's signature lines ("SetProfile u8 f32 f32").
std::string SignatureCodes(const std::string& name) {
    std::istringstream lines(CommandSignatureText());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with(name + " ")) return line.substr(name.size() + 1);
        if (line == name) return {};
    }
    return {};
}

std::string CommandList() {
    std::string list;
    for (const app::ExportEntry& entry : app::ExportTable())
        list += "  " + app::UsageOf(entry) + "\n";
    return list;
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream words(line);
    std::vector<std::string> split;
    for (std::string word; words >> word;) split.push_back(word);
    return split;
}

std::vector<std::string> CompleteCommand(const std::string& prefix) {
    std::vector<std::string> names;
    for (const app::ExportEntry& entry : app::ExportTable()) {
        if (StartsWithIgnoringCase(entry.name, prefix)) names.push_back(entry.name);
    }
    return names;
}

std::string CommandHint(const std::string& name) {
    const app::ExportEntry* entry = app::FindExport(name);
    if (entry == nullptr) return {};
    std::string hint = app::UsageOf(*entry);
    const std::string codes = SignatureCodes(name);
    if (!codes.empty()) hint += "  (" + codes + ")";
    return hint;
}

std::string RunCommandLine(const std::string& port, uint8_t slave, const std::string& line) {
    std::vector<std::string> words = SplitWords(line);
    if (words.empty()) return {};
    if (words[0] == "--slave" || words[0].starts_with("--slave=")) {
        const bool joined = words[0].size() > 7;
        const std::string value = joined ? words[0].substr(8) : (words.size() > 1 ? words[1] : "");
        const std::optional<uint32_t> address = app::ParseNumber(value, 255);
        if (!address || *address == 0) {
            return "--slave: '" + value +
                   "' is not a unit address from 1 to 127 or a group "
                   "address from 128 to 255\n";
        }
        slave = static_cast<uint8_t>(*address);
        words.erase(words.begin(), words.begin() + (joined ? 1 : 2));
        if (words.empty()) return "--slave needs a command after its address\n";
    }
    if (words[0] == "commands" && words.size() == 1) return CommandList();
    if (slave == 0) return "no unit is selected: choose one, or give --slave N first\n";
    if (app::FindExport(words[0]) == nullptr) {
        return "unknown command '" + words[0] + "' (commands lists the unit commands)\n";
    }
    const app::NamedExportRun run = app::RunNamedExportText("", port, slave, words);
    return run.err + run.out;
}

void CommandHistory::Add(const std::string& line) {
    if (!line.empty() && (lines_.empty() || lines_.back() != line)) {
        lines_.push_back(line);
        if (lines_.size() > kCapacity) lines_.erase(lines_.begin());
    }
    position_ = lines_.size();
}

std::string CommandHistory::Older() {
    if (lines_.empty()) return {};
    if (position_ > 0) --position_;
    return lines_[position_];
}

std::string CommandHistory::Newer() {
    if (position_ < lines_.size()) ++position_;
    return position_ < lines_.size() ? lines_[position_] : std::string();
}

}  // namespace kelcmd::studio
