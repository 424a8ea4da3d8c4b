#include "platform/line_rates.h"

namespace kelcmd {

bool IsLineBaudRate(uint32_t baud) {
    return baud >= kMinLineBaud && baud <= kMaxLineBaud;
}

}  // namespace kelcmd
