#include "named_command.h"

#include <cstdio>

#include "export_table.h"
#include "failure_report.h"

namespace kelcmd::app {
namespace {

std::string UsageOf(const ExportEntry& entry) {
    std::string usage = entry.name;
    for (const std::string& input : entry.inputs) usage += " " + input;
    if (!entry.outputs.empty()) {
        usage += "   ->";
        for (const std::string& output : entry.outputs) usage += " " + output;
    }
    return usage;
}

}  // namespace

bool IsNamedExport(const std::string& name) {
    return FindExport(name) != nullptr;
}

int RunNamedExport(Session& session, const std::vector<std::string>& arguments) {
    const ExportEntry* entry = FindExport(arguments.at(0));
    if (entry == nullptr) return 2;
    const std::vector<std::string> inputs(arguments.begin() + 1, arguments.end());
    std::vector<std::string> outputs;
    std::string error;
    const std::string& port = session.options().port;
    const std::optional<int32_t> result =
        entry->call(port.c_str(), session.options().slave, inputs, outputs, error, nullptr);
    if (!result) {
        std::fprintf(stderr, "kelcmd: %s: %s\nusage: kelcmd %s\n", entry->name.c_str(),
                     error.c_str(), UsageOf(*entry).c_str());
        return 2;
    }
    if (*result != 1) {
        const std::string reason = LastFailureText();
        std::fprintf(stderr, "kelcmd: %s failed%s%s\n", entry->name.c_str(),
                     reason.empty() ? "" : ": ", reason.c_str());
        return 1;
    }
    if (IsGroupAddress(session.options().slave)) {
        // Nothing comes back from a group: the outputs hold no values, and none are shown.
        const uint8_t group = session.options().slave;
        if (!entry->outputs.empty()) {
            std::fprintf(stderr,
                         "kelcmd: %s was sent to group address %u, but group addresses do not "
                         "answer: there are no values to show\n",
                         entry->name.c_str(), group);
            return 1;
        }
        std::printf("%s: sent to group address %u (group addresses do not answer)\n",
                    entry->name.c_str(), group);
        return 0;
    }
    std::printf("%s: OK\n", entry->name.c_str());
    for (size_t i = 0; i < outputs.size() && i < entry->outputs.size(); ++i) {
        std::printf("  %s = %s\n", entry->outputs[i].c_str(), outputs[i].c_str());
    }
    return 0;
}

void PrintNamedExports() {
    for (const ExportEntry& entry : ExportTable()) std::printf("  %s\n", UsageOf(entry).c_str());
}

}  // namespace kelcmd::app
