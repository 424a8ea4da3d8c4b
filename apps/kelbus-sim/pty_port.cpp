#include "pty_port.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "platform/tty_line_rate.h"

namespace kelcmd::simserver {

std::unique_ptr<PtyPort> PtyPort::Open(std::string& error) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master < 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return nullptr;
    }
    char name[128] = {};
    termios settings{};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(master, &settings) != 0) {
        error = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        ::close(master);
        return nullptr;
    }
    // Settings made through the master are those of the slave.
    ::cfmakeraw(&settings);
    (void)::tcsetattr(master, TCSANOW, &settings);
    return std::unique_ptr<PtyPort>(new PtyPort(master, name));
}

PtyPort::~PtyPort() {
    if (master_ >= 0) ::close(master_);
}

uint32_t PtyPort::HostBaud() const {
    return TtyOutputRate(master_);
}

}  // namespace kelcmd::simserver
