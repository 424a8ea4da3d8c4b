#include "platform/posix_serial_device.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/clock.h"

namespace kelcmd {
namespace {

struct SpeedEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},         {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},       {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1152000
    {1152000, B1152000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000},
#endif
#ifdef B3000000
    {3000000, B3000000},
#endif
#ifdef B3500000
    {3500000, B3500000},
#endif
#ifdef B4000000
    {4000000, B4000000},
#endif
};

constexpr uint64_t kNanosPerMilli = 1000000u;
constexpr uint64_t kNoDeadline = UINT64_MAX;

// Deadline of a total timeout of multiplier * count + constant milliseconds from `start`;
// kNoDeadline when both are 0 or the constant is the "wait without limit" value.
uint64_t TotalDeadline(uint64_t start, uint32_t multiplier, uint32_t constant, size_t count) {
    if ((multiplier == 0 && constant == 0) || constant == kWaitWithoutLimit) return kNoDeadline;
    const unsigned __int128 millis = static_cast<unsigned __int128>(multiplier) * count +
                                     static_cast<unsigned __int128>(constant);
    const unsigned __int128 nanos = millis * kNanosPerMilli + start;
    if (nanos >= static_cast<unsigned __int128>(kNoDeadline)) return kNoDeadline;
    return static_cast<uint64_t>(nanos);
}

// Waits for `events` on `fd` until `deadline` (kNoDeadline = without limit). Returns the poll
// result: > 0 ready (revents in `revents`), 0 deadline reached, < 0 error other than EINTR.
int PollUntil(int fd, short events, uint64_t deadline, short& revents) {
    for (;;) {
        int timeoutMs = -1;
        if (deadline != kNoDeadline) {
            const uint64_t now = MonotonicNanoseconds();
            if (now >= deadline) return 0;
            const uint64_t remaining = (deadline - now + kNanosPerMilli - 1) / kNanosPerMilli;
            timeoutMs = static_cast<int>(std::min<uint64_t>(remaining, INT_MAX));
        }
        pollfd descriptor{fd, events, 0};
        const int result = ::poll(&descriptor, 1, timeoutMs);
        if (result < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (result == 0) continue;  // the loop re-checks the deadline against the clock
        revents = descriptor.revents;
        return result;
    }
}

// A pseudo-terminal takes every setting but drops PARENB (and forces CS8), and glibc's tcsetattr
// then reports EINVAL although the kernel applied the record. That is the "device that ignores
// parity" case, not a failure: true when the record in force equals `wanted` but for those bits.
bool AppliedButParityIgnored(int fd, const termios& wanted) {
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0) return false;
    constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR | CSIZE;
    return applied.c_iflag == wanted.c_iflag && applied.c_oflag == wanted.c_oflag &&
           applied.c_lflag == wanted.c_lflag &&
           (applied.c_cflag & ~kParityBits) == (wanted.c_cflag & ~kParityBits) &&
           ::cfgetospeed(&applied) == ::cfgetospeed(&wanted) &&
           ::cfgetispeed(&applied) == ::cfgetispeed(&wanted) &&
           applied.c_cc[VMIN] == wanted.c_cc[VMIN] && applied.c_cc[VTIME] == wanted.c_cc[VTIME];
}

// Records why the open of `path` failed, for the calling thread.
std::nullptr_t RefuseOpen(const std::string& path, int number) {
    RecordThreadSystemError({number, "open", path});
    return nullptr;
}

constexpr char kGetSettings[] = "get line settings";
constexpr char kSetSettings[] = "set line settings";

// More than the largest frame and its acknowledge: one read takes a whole answer.
constexpr size_t kReadAheadSize = 4096;

bool IsNinthBitParity(Parity parity) {
    return parity == Parity::Mark || parity == Parity::Space;
}

// Whether two settings differ at most in mark/space parity and RTS.
bool SameFraming(const LineSettings& a, const LineSettings& b) {
    return a.baud == b.baud && a.dataBits == b.dataBits && a.stopBits == b.stopBits &&
           IsNinthBitParity(a.parity) && IsNinthBitParity(b.parity);
}

// The answers of a device that has no modem lines at all (a pseudo-terminal, a USB adapter
// without them) to the modem-line ioctls.
bool MeansNoModemLines(int number) {
    return number == ENOTTY || number == EINVAL;
}

}  // namespace

PosixSerialDevice::PosixSerialDevice(int fd, std::string path)
    : fd_(fd), path_(std::move(path)), readAhead_(kReadAheadSize) {}

bool PosixSerialDevice::Fail(const char* operation, int number) {
    lastError_ = {number, operation, path_};
    RecordThreadSystemError(lastError_);
    return false;
}

std::optional<speed_t> PosixSerialDevice::SpeedOf(uint32_t baud) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.baud == baud) return entry.speed;
    }
    return std::nullopt;
}

uint32_t PosixSerialDevice::BaudOf(speed_t speed) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.speed == speed) return entry.baud;
    }
    return 0;
}

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::Open(const std::string& path) {
    if (path.empty()) return RefuseOpen(path, ENOENT);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return RefuseOpen(path, errno);  // EBUSY: TIOCEXCL of another opener
    // The lock first: it is what stops a second opener that TIOCEXCL lets through (root), and a
    // failed opener must not touch the exclusive flag of the one that holds the device.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // A held lock means the device is busy, whatever "try again" EWOULDBLOCK would say.
        const int number = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return RefuseOpen(path, number);
    }
    // Fails with ENOTTY on something that is not a terminal; reading its settings then fails.
    (void)::ioctl(fd, TIOCEXCL);
    return std::unique_ptr<PosixSerialDevice>(new PosixSerialDevice(fd, path));
}

PosixSerialDevice::~PosixSerialDevice() {
    if (fd_ >= 0) Close();
}

bool PosixSerialDevice::SetupQueues(uint32_t, uint32_t) {
    // The tty layer sizes its own buffers; there is nothing to request on Linux.
    return fd_ >= 0 || Fail("set up queues", EBADF);
}

bool PosixSerialDevice::GetLineSettings(LineSettings& settings) {
    if (fd_ < 0) return Fail(kGetSettings, EBADF);
    termios record{};
    if (::tcgetattr(fd_, &record) != 0) return Fail(kGetSettings, errno);
    base_ = record;

    settings.baud = BaudOf(::cfgetospeed(&record));
    switch (record.c_cflag & CSIZE) {
        case CS5:
            settings.dataBits = 5;
            break;
        case CS6:
            settings.dataBits = 6;
            break;
        case CS7:
            settings.dataBits = 7;
            break;
        default:
            settings.dataBits = 8;
            break;
    }
    if (!(record.c_cflag & PARENB)) {
        settings.parity = Parity::None;
    } else if (record.c_cflag & CMSPAR) {
        settings.parity = (record.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    } else {
        settings.parity = (record.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    }
    settings.stopBits = (record.c_cflag & CSTOPB) ? 2 : 1;
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0 && MeansNoModemLines(errno)) hasModemLines_ = false;
    settings.rtsEnabled = hasModemLines_ && (lines & TIOCM_RTS) != 0;
    return true;
}

bool PosixSerialDevice::SetLineSettings(const LineSettings& settings) {
    if (fd_ < 0) return Fail(kSetSettings, EBADF);
    const std::optional<speed_t> speed = SpeedOf(settings.baud);
    if (!speed) return Fail(kSetSettings, EINVAL);

    // The parity switch of every frame: one prepared record, RTS only when it changes.
    if (applied_ && markRecord_ && spaceRecord_ && SameFraming(*applied_, settings)) {
        if (settings.parity != applied_->parity) {
            const KernelLineRecord& record =
                settings.parity == Parity::Mark ? *markRecord_ : *spaceRecord_;
            if (!record.Write(fd_)) return Fail(kSetSettings, errno);
            applied_->parity = settings.parity;
        }
        if (rtsHigh_ != settings.rtsEnabled) (void)SetRts(settings.rtsEnabled);
        applied_->rtsEnabled = settings.rtsEnabled;
        return true;
    }
    if (!ApplyFullSettings(settings, *speed)) return false;

    // DTR stays low; RTS follows the record. A device without modem lines (a pseudo-terminal)
    // refuses these, which is not a failure of the settings.
    (void)ChangeModemLines(TIOCMBIC, TIOCM_DTR);
    (void)SetRts(settings.rtsEnabled);
    return true;
}

bool PosixSerialDevice::ApplyFullSettings(const LineSettings& settings, speed_t speed) {
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    if (!base_) {
        termios record{};
        if (::tcgetattr(fd_, &record) != 0) return Fail(kSetSettings, errno);
        base_ = record;
    }
    termios record = *base_;
    // Raw, binary, no input parity check, no software flow control.
    record.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR |
                               ICRNL | IXON | IXOFF | IXANY | IMAXBEL);
    record.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    record.c_lflag &=
        ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | TOSTOP);

    // Framing, parity as the ninth bit, no hardware flow control, modem lines ignored.
    record.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    switch (settings.dataBits) {
        case 5:
            record.c_cflag |= CS5;
            break;
        case 6:
            record.c_cflag |= CS6;
            break;
        case 7:
            record.c_cflag |= CS7;
            break;
        default:
            record.c_cflag |= CS8;
            break;
    }
    if (settings.stopBits == 2) record.c_cflag |= CSTOPB;
    switch (settings.parity) {
        case Parity::None:
            break;
        case Parity::Odd:
            record.c_cflag |= PARENB | PARODD;
            break;
        case Parity::Even:
            record.c_cflag |= PARENB;
            break;
        case Parity::Mark:
            record.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            record.c_cflag |= PARENB | CMSPAR;
            break;
    }
    record.c_cflag |= CREAD | CLOCAL;

    // A non-blocking read with nothing queued reports EAGAIN; 0 then means hang-up.
    record.c_cc[VMIN] = 1;
    record.c_cc[VTIME] = 0;
    record.c_cc[VSTART] = 17;
    record.c_cc[VSTOP] = 19;

    if (::cfsetispeed(&record, speed) != 0 || ::cfsetospeed(&record, speed) != 0) {
        return Fail(kSetSettings, errno);
    }
    if (::tcsetattr(fd_, TCSANOW, &record) != 0) {
        const int number = errno;  // the check below calls tcgetattr
        if (number != EINVAL || !AppliedButParityIgnored(fd_, record)) {
            return Fail(kSetSettings, number);
        }
    }

    // Checked once here; the parity switches afterwards write the kernel's record as it stands.
    if (const std::optional<KernelLineRecord> applied = KernelLineRecord::Read(fd_)) {
        markRecord_ = applied->WithNinthBit(true);
        spaceRecord_ = applied->WithNinthBit(false);
    }
    applied_ = settings;
    return true;
}

bool PosixSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
    if (fd_ < 0) return Fail("set timeouts", EBADF);
    timeouts_ = timeouts;
    return true;
}

bool PosixSerialDevice::SetTransmitterEmptyMask() {
    // tcdrain() waits for exactly that event; there is no mask to set.
    return fd_ >= 0 || Fail("set event mask", EBADF);
}

bool PosixSerialDevice::WaitTransmitterEmpty() {
    if (fd_ < 0) return Fail("drain", EBADF);
    while (::tcdrain(fd_) != 0) {
        if (errno != EINTR) return Fail("drain", errno);
    }
    return true;
}

bool PosixSerialDevice::Purge() {
    if (fd_ < 0) return Fail("purge", EBADF);
    DropReadAhead();
    return ::tcflush(fd_, TCIOFLUSH) == 0 || Fail("purge", errno);
}

bool PosixSerialDevice::ChangeModemLines(unsigned long request, int lines) {
    if (fd_ < 0 || !hasModemLines_) return false;
    if (::ioctl(fd_, request, &lines) == 0) return true;
    if (MeansNoModemLines(errno)) hasModemLines_ = false;
    return false;
}

// Not recorded: a device without modem lines refuses this, and callers ignore it.
bool PosixSerialDevice::SetRts(bool raised) {
    if (!ChangeModemLines(raised ? TIOCMBIS : TIOCMBIC, TIOCM_RTS)) return false;
    rtsHigh_ = raised;
    return true;
}

bool PosixSerialDevice::Write(const uint8_t* data, size_t count, size_t& written) {
    written = 0;
    if (fd_ < 0) return Fail("write", EBADF);
    if (count == 0) return true;
    const uint64_t deadline = TotalDeadline(MonotonicNanoseconds(), timeouts_.writeTotalMultiplier,
                                            timeouts_.writeTotalConstant, count);
    while (written < count) {
        const ssize_t result = ::write(fd_, data + written, count - written);
        if (result > 0) {
            written += static_cast<size_t>(result);
            continue;
        }
        if (result < 0 && errno == EINTR) continue;
        if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            short revents = 0;
            const int ready = PollUntil(fd_, POLLOUT, deadline, revents);
            if (ready == 0) return true;  // the write timeout expired: fewer bytes, no failure
            if (ready < 0) return Fail("write", errno);
            if (revents & POLLNVAL) return Fail("write", EBADF);
            // POLLERR / POLLHUP: the next write reports the failure.
            continue;
        }
        return Fail("write", result < 0 ? errno : EIO);
    }
    return true;
}

size_t PosixSerialDevice::TakeReadAhead(uint8_t* buffer, size_t count) {
    const size_t taken = std::min(count, aheadEnd_ - aheadBegin_);
    std::copy_n(readAhead_.begin() + static_cast<std::ptrdiff_t>(aheadBegin_), taken, buffer);
    aheadBegin_ += taken;
    if (aheadBegin_ == aheadEnd_) DropReadAhead();
    return taken;
}

bool PosixSerialDevice::Read(uint8_t* buffer, size_t count, size_t& received) {
    received = 0;
    if (fd_ < 0) return Fail("read", EBADF);
    if (count == 0) return true;
    const uint64_t start = MonotonicNanoseconds();
    const uint64_t totalDeadline =
        TotalDeadline(start, timeouts_.readTotalMultiplier, timeouts_.readTotalConstant, count);
    const uint64_t interval = static_cast<uint64_t>(timeouts_.readInterval) * kNanosPerMilli;
    uint64_t lastByte = start;
    bool hangup = false;

    for (;;) {
        if (const size_t taken = TakeReadAhead(buffer + received, count - received)) {
            received += taken;
            lastByte = MonotonicNanoseconds();
            if (received == count) return true;
        }
        // Wait first: right after a frame went out, or between the parts of an answer, nothing
        // is there yet as a rule. The wait ends at the nearer of the total deadline and the
        // interval deadline (the interval counts only after the first byte).
        uint64_t deadline = totalDeadline;
        if (received > 0 && interval != 0) deadline = std::min(deadline, lastByte + interval);
        short revents = 0;
        const int ready = PollUntil(fd_, POLLIN, deadline, revents);
        if (ready == 0) return true;  // a timeout: the bytes so far are the result
        if (ready < 0) return Fail("read", errno);
        if (revents & POLLNVAL) return Fail("read", EBADF);
        if (!(revents & POLLIN) && (revents & (POLLERR | POLLHUP))) hangup = true;

        // Everything that has arrived, up to the buffer's size.
        const ssize_t result = ::read(fd_, readAhead_.data(), readAhead_.size());
        if (result > 0) {
            aheadBegin_ = 0;
            aheadEnd_ = static_cast<size_t>(result);
            hangup = false;
            continue;
        }
        if (result < 0 && errno == EINTR) continue;
        if (result == 0) return Fail("read", EIO);  // hang-up (VMIN is 1: no data gives EAGAIN)
        if (errno != EAGAIN && errno != EWOULDBLOCK) return Fail("read", errno);
        // poll reported an error and still nothing can be read: a hang-up
        if (hangup) return Fail("read", EIO);
    }
}

bool PosixSerialDevice::Close() {
    if (fd_ < 0) return Fail("close", EBADF);
    (void)::ioctl(fd_, TIOCNXCL);
    const int result = ::close(fd_);  // also releases the flock
    const int number = errno;
    fd_ = -1;
    base_.reset();
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    rtsHigh_.reset();
    DropReadAhead();
    return result == 0 || Fail("close", number);
}

}  // namespace kelcmd
