#include "named_command.h"

#include <cstdio>

#include "named_export_run.h"

namespace kelcmd::app {

bool IsNamedExport(const std::string& name) {
    return FindExport(name) != nullptr;
}

int RunNamedExport(Session& session, const std::vector<std::string>& arguments) {
    const NamedExportRun run =
        RunNamedExportText("kelcmd", session.options().port, session.options().slave, arguments);
    std::fputs(run.err.c_str(), stderr);
    std::fputs(run.out.c_str(), stdout);
    return run.status;
}

void PrintNamedExports() {
    for (const ExportEntry& entry : ExportTable()) std::printf("  %s\n", UsageOf(entry).c_str());
}

}  // namespace kelcmd::app
