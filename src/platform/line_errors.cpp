#include "platform/line_errors.h"

namespace kelcmd {
namespace {

thread_local TtyCounters threadLineErrors;

}  // namespace

void AddThreadLineErrors(const TtyCounters& counts) {
    threadLineErrors.framing += counts.framing;
    threadLineErrors.parity += counts.parity;
    threadLineErrors.overruns += counts.overruns;
    threadLineErrors.breaks += counts.breaks;
}

TtyCounters TakeThreadLineErrors() {
    const TtyCounters taken = threadLineErrors;
    threadLineErrors = {};
    return taken;
}

}  // namespace kelcmd
