#include "platform/cancel_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace kelcmd {

CancelSignal::CancelSignal() : descriptor_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelSignal::~CancelSignal() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

void CancelSignal::Raise() {
    if (descriptor_ < 0) return;
    const uint64_t one = 1;
    // Only fails when the counter is full, which leaves it raised all the same.
    (void)!::write(descriptor_, &one, sizeof one);
}

void CancelSignal::Clear() {
    if (descriptor_ < 0) return;
    uint64_t count = 0;
    // EAGAIN when it was not raised.
    (void)!::read(descriptor_, &count, sizeof count);
}

}  // namespace kelcmd
