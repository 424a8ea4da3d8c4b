#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export_table.h"

namespace kelcmd::app {

// What running a command export by name printed: the normal output, the error output and the exit
// status (0 done, 1 the command failed, 2 the arguments are wrong).
struct NamedExportRun {
    int status = 0;
    std::string out;
    std::string err;
};

// "MoveAbsolute position timeout" with "   -> flags duration" for outputs.
std::string UsageOf(const ExportEntry& entry);

// Runs the export named by arguments[0] with the rest as its inputs on `port` and `slave`, and
// writes what a command-line program prints about it; error lines start with "PROGRAM: " (nothing
// for an empty `program`). An unknown name gives status 2 and no text.
NamedExportRun RunNamedExportText(const std::string& program, const std::string& port,
                                  uint8_t slave, const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
