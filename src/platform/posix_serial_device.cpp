#include "platform/posix_serial_device.h"

#include <errno.h>
#include <poll.h>

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

// `record` with the ninth bit as mark (set) or space (clear) parity.
TtyAttributes WithNinthBit(TtyAttributes record, bool mark) {
    record.cflag |= PARENB | CMSPAR;
    if (mark) {
        record.cflag |= PARODD;
    } else {
        record.cflag &= ~static_cast<uint32_t>(PARODD);
    }
    return record;
}

// Whether two settings differ at most in mark/space parity and RTS.
bool SameFraming(const LineSettings& a, const LineSettings& b) {
    return a.baud == b.baud && a.dataBits == b.dataBits && a.stopBits == b.stopBits &&
           IsNinthBitParity(a.parity) && IsNinthBitParity(b.parity);
}

// The settings' rate in the kernel's record: a Bxxx constant where one exists, else a free rate.
void SetSpeed(TtyAttributes& record, uint32_t baud) {
    const std::optional<speed_t> constant = PosixSerialDevice::SpeedOf(baud);
    const uint32_t bits = constant ? static_cast<uint32_t>(*constant) : kTtyBother;
    record.cflag &= ~(kTtySpeedBits | (kTtySpeedBits << kTtyInputSpeedShift));
    record.cflag |= bits;  // the input rate follows the output rate
    record.ispeed = baud;
    record.ospeed = baud;
}

// The answers of a device that has no modem lines at all (a pseudo-terminal, a USB adapter
// without them) to the modem-line ioctls.
bool MeansNoModemLines(int number) {
    return number == ENOTTY || number == EINVAL;
}

}  // namespace

PosixSerialDevice::PosixSerialDevice(std::unique_ptr<TtyDriver> driver, std::string path)
    : driver_(std::move(driver)), path_(std::move(path)), readAhead_(kReadAheadSize) {}

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
    return Open(path, MakeKernelTtyDriver());
}

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::Open(const std::string& path,
                                                           std::unique_ptr<TtyDriver> driver) {
    if (path.empty()) return RefuseOpen(path, ENOENT);
    // EBUSY: TIOCEXCL of another opener
    if (const int failed = driver->Open(path)) return RefuseOpen(path, failed);
    // The lock first: it is what stops a second opener that TIOCEXCL lets through (root), and a
    // failed opener must not touch the exclusive flag of the one that holds the device.
    if (const int failed = driver->Lock()) {
        // A held lock means the device is busy, whatever "try again" EWOULDBLOCK would say.
        const int number = failed == EWOULDBLOCK ? EBUSY : failed;
        (void)driver->Close();
        return RefuseOpen(path, number);
    }
    // Fails with ENOTTY on something that is not a terminal; reading its settings then fails.
    (void)driver->SetExclusive(true);
    return std::unique_ptr<PosixSerialDevice>(new PosixSerialDevice(std::move(driver), path));
}

PosixSerialDevice::~PosixSerialDevice() {
    if (driver_->IsOpen()) Close();
}

bool PosixSerialDevice::SetupQueues(uint32_t, uint32_t) {
    // The tty layer sizes its own buffers; there is nothing to request on Linux.
    return driver_->IsOpen() || Fail("set up queues", EBADF);
}

bool PosixSerialDevice::GetLineSettings(LineSettings& settings) {
    if (!driver_->IsOpen()) return Fail(kGetSettings, EBADF);
    TtyAttributes record;
    if (const int failed = driver_->GetAttributes(record)) return Fail(kGetSettings, failed);
    base_ = record;

    settings.baud = record.ospeed;
    switch (record.cflag & CSIZE) {
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
    if (!(record.cflag & PARENB)) {
        settings.parity = Parity::None;
    } else if (record.cflag & CMSPAR) {
        settings.parity = (record.cflag & PARODD) ? Parity::Mark : Parity::Space;
    } else {
        settings.parity = (record.cflag & PARODD) ? Parity::Odd : Parity::Even;
    }
    settings.stopBits = (record.cflag & CSTOPB) ? 2 : 1;
    int lines = 0;
    if (const int failed = driver_->GetModemLines(lines);
        failed != 0 && MeansNoModemLines(failed)) {
        hasModemLines_ = false;
    }
    settings.rtsEnabled = hasModemLines_ && (lines & kTtyLineRts) != 0;
    return true;
}

bool PosixSerialDevice::SetLineSettings(const LineSettings& settings) {
    if (!driver_->IsOpen()) return Fail(kSetSettings, EBADF);
    if (!SpeedOf(settings.baud)) return Fail(kSetSettings, EINVAL);

    // The parity switch of every frame: one prepared record, RTS only when it changes.
    if (applied_ && markRecord_ && spaceRecord_ && SameFraming(*applied_, settings)) {
        if (settings.parity != applied_->parity) {
            const TtyAttributes& record =
                settings.parity == Parity::Mark ? *markRecord_ : *spaceRecord_;
            if (const int failed = driver_->SetAttributes(record)) {
                return Fail(kSetSettings, failed);
            }
            applied_->parity = settings.parity;
        }
        if (rtsHigh_ != settings.rtsEnabled) (void)SetRts(settings.rtsEnabled);
        applied_->rtsEnabled = settings.rtsEnabled;
        return true;
    }
    if (!ApplyFullSettings(settings)) return false;

    // DTR stays low; RTS follows the record. A device without modem lines (a pseudo-terminal)
    // refuses these, which is not a failure of the settings.
    (void)ChangeModemLines(false, kTtyLineDtr);
    (void)SetRts(settings.rtsEnabled);
    return true;
}

bool PosixSerialDevice::ApplyFullSettings(const LineSettings& settings) {
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    if (!base_) {
        TtyAttributes record;
        if (const int failed = driver_->GetAttributes(record)) return Fail(kSetSettings, failed);
        base_ = record;
    }
    TtyAttributes record = *base_;
    // Raw, binary, no input parity check, no software flow control.
    record.iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP |
                                           INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL);
    record.oflag &= ~static_cast<tcflag_t>(OPOST);
    record.lflag &=
        ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | TOSTOP);

    // Framing, parity as the ninth bit, no hardware flow control, modem lines ignored.
    record.cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    switch (settings.dataBits) {
        case 5:
            record.cflag |= CS5;
            break;
        case 6:
            record.cflag |= CS6;
            break;
        case 7:
            record.cflag |= CS7;
            break;
        default:
            record.cflag |= CS8;
            break;
    }
    if (settings.stopBits == 2) record.cflag |= CSTOPB;
    switch (settings.parity) {
        case Parity::None:
            break;
        case Parity::Odd:
            record.cflag |= PARENB | PARODD;
            break;
        case Parity::Even:
            record.cflag |= PARENB;
            break;
        case Parity::Mark:
            record.cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            record.cflag |= PARENB | CMSPAR;
            break;
    }
    record.cflag |= CREAD | CLOCAL;

    // A non-blocking read with nothing queued reports EAGAIN; 0 then means hang-up.
    record.cc[VMIN] = 1;
    record.cc[VTIME] = 0;
    record.cc[VSTART] = 17;
    record.cc[VSTOP] = 19;

    SetSpeed(record, settings.baud);
    if (const int failed = driver_->SetAttributes(record)) return Fail(kSetSettings, failed);

    // Checked once here; the parity switches afterwards write the kernel's record as it stands.
    TtyAttributes applied;
    if (driver_->GetAttributes(applied) == 0) {
        markRecord_ = WithNinthBit(applied, true);
        spaceRecord_ = WithNinthBit(applied, false);
    }
    applied_ = settings;
    return true;
}

int PosixSerialDevice::PollUntil(short events, uint64_t deadline, short& revents, int& number) {
    for (;;) {
        int timeoutMs = -1;
        if (deadline != kNoDeadline) {
            const uint64_t now = MonotonicNanoseconds();
            if (now >= deadline) return 0;
            const uint64_t remaining = (deadline - now + kNanosPerMilli - 1) / kNanosPerMilli;
            timeoutMs = static_cast<int>(std::min<uint64_t>(remaining, INT_MAX));
        }
        number = driver_->Poll(events, timeoutMs, revents);
        if (number == EINTR) continue;
        if (number != 0) return -1;
        if (revents == 0) continue;  // the loop re-checks the deadline against the clock
        return 1;
    }
}

bool PosixSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
    if (!driver_->IsOpen()) return Fail("set timeouts", EBADF);
    timeouts_ = timeouts;
    return true;
}

bool PosixSerialDevice::SetTransmitterEmptyMask() {
    // tcdrain() waits for exactly that event; there is no mask to set.
    return driver_->IsOpen() || Fail("set event mask", EBADF);
}

bool PosixSerialDevice::WaitTransmitterEmpty() {
    if (!driver_->IsOpen()) return Fail("drain", EBADF);
    for (;;) {
        const int failed = driver_->Drain();
        if (failed == 0) return true;
        if (failed != EINTR) return Fail("drain", failed);
    }
}

bool PosixSerialDevice::Purge() {
    if (!driver_->IsOpen()) return Fail("purge", EBADF);
    DropReadAhead();
    const int failed = driver_->Flush();
    return failed == 0 || Fail("purge", failed);
}

bool PosixSerialDevice::ChangeModemLines(bool raise, int lines) {
    if (!driver_->IsOpen() || !hasModemLines_) return false;
    const int failed = driver_->ChangeModemLines(raise, lines);
    if (failed == 0) return true;
    if (MeansNoModemLines(failed)) hasModemLines_ = false;
    return false;
}

// Not recorded: a device without modem lines refuses this, and callers ignore it.
bool PosixSerialDevice::SetRts(bool raised) {
    if (!ChangeModemLines(raised, kTtyLineRts)) return false;
    rtsHigh_ = raised;
    return true;
}

bool PosixSerialDevice::Write(const uint8_t* data, size_t count, size_t& written) {
    written = 0;
    if (!driver_->IsOpen()) return Fail("write", EBADF);
    if (count == 0) return true;
    const uint64_t deadline = TotalDeadline(MonotonicNanoseconds(), timeouts_.writeTotalMultiplier,
                                            timeouts_.writeTotalConstant, count);
    while (written < count) {
        size_t moved = 0;
        const int failed = driver_->Write(data + written, count - written, moved);
        if (failed == 0 && moved > 0) {
            written += moved;
            continue;
        }
        if (failed == EINTR) continue;
        if (failed == EAGAIN || failed == EWOULDBLOCK) {
            short revents = 0;
            int number = 0;
            const int ready = PollUntil(POLLOUT, deadline, revents, number);
            if (ready == 0) return true;  // the write timeout expired: fewer bytes, no failure
            if (ready < 0) return Fail("write", number);
            if (revents & POLLNVAL) return Fail("write", EBADF);
            // POLLERR / POLLHUP: the next write reports the failure.
            continue;
        }
        return Fail("write", failed != 0 ? failed : EIO);
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
    if (!driver_->IsOpen()) return Fail("read", EBADF);
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
        int number = 0;
        const int ready = PollUntil(POLLIN, deadline, revents, number);
        if (ready == 0) return true;  // a timeout: the bytes so far are the result
        if (ready < 0) return Fail("read", number);
        if (revents & POLLNVAL) return Fail("read", EBADF);
        if (!(revents & POLLIN) && (revents & (POLLERR | POLLHUP))) hangup = true;

        // Everything that has arrived, up to the buffer's size.
        size_t got = 0;
        const int failed = driver_->Read(readAhead_.data(), readAhead_.size(), got);
        if (failed == 0 && got > 0) {
            aheadBegin_ = 0;
            aheadEnd_ = got;
            hangup = false;
            continue;
        }
        if (failed == EINTR) continue;
        if (failed == 0) return Fail("read", EIO);  // hang-up (VMIN is 1: no data gives EAGAIN)
        if (failed != EAGAIN && failed != EWOULDBLOCK) return Fail("read", failed);
        // poll reported an error and still nothing can be read: a hang-up
        if (hangup) return Fail("read", EIO);
    }
}

bool PosixSerialDevice::Close() {
    if (!driver_->IsOpen()) return Fail("close", EBADF);
    (void)driver_->SetExclusive(false);
    const int number = driver_->Close();  // also releases the flock
    base_.reset();
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    rtsHigh_.reset();
    DropReadAhead();
    return number == 0 || Fail("close", number);
}

}  // namespace kelcmd
