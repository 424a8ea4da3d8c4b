#include "command_names.h"

#include <algorithm>
#include <cctype>

#include "export_table.h"

namespace kelcmd::app {
namespace {

std::string Lower(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::vector<std::string> KnownCommands() {
    std::vector<std::string> names = ProgramCommands();
    for (const ExportEntry& entry : ExportTable()) names.push_back(entry.name);
    return names;
}

// Edits (insert, delete, replace, swap of neighbours) that turn `a` into `b`.
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

const std::vector<std::string>& ProgramCommands() {
    static const std::vector<std::string> commands = {
        "scan", "demo", "send", "record", "params", "run-batch", "show", "commands", "help"};
    return commands;
}

std::string CanonicalCommand(const std::string& typed) {
    const std::string lower = Lower(typed);
    for (const std::string& name : KnownCommands()) {
        if (Lower(name) == lower) return name;
    }
    return {};
}

std::string NearestCommand(const std::string& typed) {
    // Long input would cost much and is no slip; a third of the letters wrong is no slip either.
    constexpr size_t kLongest = 64;
    if (typed.empty() || typed.size() > kLongest) return {};
    const std::string lower = Lower(typed);
    const size_t allowed = std::max<size_t>(1, lower.size() / 3);
    std::string best;
    size_t bestDistance = allowed + 1;
    for (const std::string& name : KnownCommands()) {
        const size_t distance = Distance(lower, Lower(name));
        if (distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace kelcmd::app
