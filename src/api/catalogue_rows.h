#pragma once

#include <string_view>
#include <vector>

#include "command/catalogue_table.h"

namespace kelcmd {

// The catalogue rows of a family (by its key in the catalogue: "MotionControl", "SerialIo", ...)
// in table order; none for an unknown key. Generated from api/catalogue/commands.kcat.
std::vector<CatalogueCommand> CatalogueRows(std::string_view family);

}  // namespace kelcmd
