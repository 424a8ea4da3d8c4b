#pragma once

#include <cstddef>

namespace kelcmd {

class CCommand;

// Takes the send values of `from` over into `to`: each send parameter of `to` (wire and extra
// list) receives the value of the parameter of `from` with the same name, type and size. Others
// keep their values. Returns how many values were taken.
size_t TakeSendValues(CCommand& to, CCommand& from);

}  // namespace kelcmd
