#pragma once

#include <string>
#include <vector>

#include "export_call.h"

namespace kelcmd::app {

// Every command export that can run from the command line, in the catalogue's order.
const std::vector<ExportEntry>& ExportTable();

// The entry of that export name (without MP_), or null.
const ExportEntry* FindExport(const std::string& name);

}  // namespace kelcmd::app
