#include "named_export_run.h"

#include "failure_report.h"
#include "transport/protocol_constants.h"

namespace kelcmd::app {

std::string UsageOf(const ExportEntry& entry) {
    std::string usage = entry.name;
    for (const std::string& input : entry.inputs) usage += " " + input;
    if (!entry.outputs.empty()) {
        usage += "   ->";
        for (const std::string& output : entry.outputs) usage += " " + output;
    }
    return usage;
}

NamedExportRun RunNamedExportText(const std::string& program, const std::string& port,
                                  uint8_t slave, const std::vector<std::string>& arguments) {
    NamedExportRun run;
    const ExportEntry* entry = arguments.empty() ? nullptr : FindExport(arguments[0]);
    if (entry == nullptr) {
        run.status = 2;
        return run;
    }
    const std::string prefix = program.empty() ? "" : program + ": ";
    const std::vector<std::string> inputs(arguments.begin() + 1, arguments.end());
    std::vector<std::string> outputs;
    std::string error;
    const std::optional<int32_t> result =
        entry->call(port.c_str(), slave, inputs, outputs, error, nullptr);
    if (!result) {
        run.status = 2;
        run.err = prefix + entry->name + ": " + error +
                  "\nusage: " + (program.empty() ? "" : program + " ") + UsageOf(*entry) + "\n";
        return run;
    }
    if (*result != 1) {
        const std::string reason = LastFailureText();
        run.status = 1;
        run.err = prefix + entry->name + " failed" + (reason.empty() ? "" : ": ") + reason + "\n";
        return run;
    }
    if (IsGroupAddress(slave)) {
        // Nothing comes back from a group: the outputs hold no values, and none are shown.
        const std::string group = std::to_string(slave);
        if (!entry->outputs.empty()) {
            run.status = 1;
            run.err = prefix + entry->name + " was sent to group address " + group +
                      ", but group addresses do not answer: there are no values to show\n";
            return run;
        }
        run.out =
            entry->name + ": sent to group address " + group + " (group addresses do not answer)\n";
        return run;
    }
    run.out = entry->name + ": OK\n";
    for (size_t i = 0; i < outputs.size() && i < entry->outputs.size(); ++i) {
        run.out += "  " + entry->outputs[i] + " = " + outputs[i] + "\n";
    }
    return run;
}

}  // namespace kelcmd::app
