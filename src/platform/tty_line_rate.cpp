// This unit sees the kernel's line records, not the C library's; it must not include <termios.h>.
#include "platform/tty_line_rate.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kelcmd {

uint32_t TtyOutputRate(int descriptor) {
    termios2 record{};
    if (::syscall(SYS_ioctl, descriptor, TCGETS2, &record) != 0) return 0;
    // With a Bxxx constant the kernel puts its rate beside it as well; B0 is a hang-up.
    if ((record.c_cflag & CBAUD) == B0) return 0;
    return record.c_ospeed;
}

}  // namespace kelcmd
