#include "platform/posix_serial_device.h"

#include <errno.h>
#include <poll.h>

#include <algorithm>
#include <bit>
#include <climits>

#include "platform/clock.h"
#include "platform/device_notes.h"
#include "platform/line_errors.h"
#include "platform/tty_capabilities.h"

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
std::nullptr_t RefuseOpen(const std::string& path, int number, std::string reason = {}) {
    RecordThreadSystemError({number, "open", path, std::move(reason)});
    return nullptr;
}

constexpr char kGetSettings[] = "get line settings";
constexpr char kSetSettings[] = "set line settings";
constexpr char kDrain[] = "drain";

// More than the largest frame and its acknowledge: one read takes a whole answer.
constexpr size_t kReadAheadSize = 4096;

// The kernel's marking of input under PARMRK: 0xFF 0xFF is a 0xFF, 0xFF 0x00 c a damaged c.
constexpr uint8_t kMarkByte = 0xFF;

// A rate the driver set counts as the one asked for within this part of it, as the kernel's own
// matching of rates does.
constexpr uint32_t kRateTolerance = 50;  // 2 %

// Bits per character on the bus: start, 8 data, the ninth bit, stop.
constexpr uint64_t kBitsPerCharacter = 11;

bool IsNinthBitParity(Parity parity) {
    return parity == Parity::Mark || parity == Parity::Space;
}

// `record` with the parity bits of `parity`.
TtyAttributes WithParity(TtyAttributes record, Parity parity) {
    record.cflag &= ~static_cast<uint32_t>(PARENB | PARODD | CMSPAR);
    switch (parity) {
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
    return record;
}

// The parity (odd or even) that gives `byte` the ninth bit `mark`.
Parity ParityGiving(uint8_t byte, bool mark) {
    const bool onesEven = std::popcount(byte) % 2 == 0;  // odd parity then sends a 1
    return onesEven == mark ? Parity::Odd : Parity::Even;
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

// The answers of a device that lacks an optional ioctl (modem lines, line status, counters).
bool MeansNotOffered(int number) {
    return number == ENOTTY || number == EINVAL || number == EOPNOTSUPP;
}

uint32_t Grown(uint32_t now, uint32_t before) {
    return now >= before ? now - before : 0;
}

}  // namespace

PosixSerialDevice::PosixSerialDevice(std::unique_ptr<TtyDriver> driver, std::string path,
                                     DeviceOptions options)
    : driver_(std::move(driver)),
      path_(std::move(path)),
      options_(options),
      readAhead_(kReadAheadSize),
      raw_(kReadAheadSize) {}

bool PosixSerialDevice::Fail(const char* operation, int number, std::string reason) {
    if (number == ECANCELED && reason.empty()) reason = "the port was closed from another thread";
    lastError_ = {number, operation, path_, std::move(reason)};
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

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::Open(const std::string& device) {
    return Open(device, MakeKernelTtyDriver());
}

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::Open(const std::string& device,
                                                           std::unique_ptr<TtyDriver> driver) {
    std::string error;
    const std::optional<DeviceText> text = ParseDeviceText(device, error);
    if (!text) return RefuseOpen(device, EINVAL, error);
    const std::string& path = text->path;
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
    // The flag is shared by every opener of the tty: set it only when nobody has (root gets past
    // another holder's), so that closing clears only what this open set. Where the kernel cannot
    // tell, it is taken as unset: a plain user's open of an exclusive tty has failed above.
    bool exclusiveAlready = false;
    const bool known = driver->GetExclusive(exclusiveAlready) == 0;
    // Fails with ENOTTY on something that is not a terminal; reading its settings then fails.
    const bool setHere = !(known && exclusiveAlready) && driver->SetExclusive(true) == 0;
    std::unique_ptr<PosixSerialDevice> opened(
        new PosixSerialDevice(std::move(driver), path, text->options));
    opened->exclusiveSetHere_ = setHere;
    opened->PrepareAtOpen();
    return opened;
}

void PosixSerialDevice::PrepareAtOpen() {
    pseudoTerminal_ = driver_->IsPseudoTerminal();
    driverName_ = driver_->DriverName();
    TtyRs485 rs485;
    if (driver_->GetRs485(rs485) == 0) {
        rs485AtOpen_ = rs485;
        kernelRs485_ = kernelRs485AtOpen_ = rs485.enabled;
        if (rs485.enabled && !options_.kernelRs485) notes_.push_back(KernelRs485Note());
    }
    if (pseudoTerminal_) return;
    bool lowLatency = false;
    if (driver_->GetLowLatency(lowLatency) == 0 && !lowLatency) {
        if (driver_->SetLowLatency(true) != 0) notes_.push_back(LowLatencyNote());
    }
    uint32_t latency = 0;
    if (driver_->GetLatencyTimer(latency) == 0 && latency > 1) {
        if (driver_->SetLatencyTimer(1) != 0) notes_.push_back(LatencyTimerNote(latency));
    }
}

void PosixSerialDevice::NoteOnce(const std::string& note) {
    if (std::find(notes_.begin(), notes_.end(), note) == notes_.end()) notes_.push_back(note);
}

std::string PosixSerialDevice::Notes() const {
    std::string text;
    for (const std::string& note : notes_) text += (text.empty() ? "" : "; ") + note;
    return text;
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
    if (const int failed = driver_->GetModemLines(lines); failed != 0 && MeansNotOffered(failed)) {
        hasModemLines_ = false;
    }
    settings.rtsEnabled = hasModemLines_ && ((lines & kTtyLineRts) != 0) != options_.rtsActiveLow;
    return true;
}

bool PosixSerialDevice::SetLineSettings(const LineSettings& settings) {
    if (!driver_->IsOpen()) return Fail(kSetSettings, EBADF);
    if (settings.baud == 0) return Fail(kSetSettings, EINVAL);

    // The parity switch of every frame: one prepared record, RTS only when it changes.
    if (applied_ && markRecord_ && spaceRecord_ && SameFraming(*applied_, settings)) {
        // Under nine-bit addressing the switch changes nothing on the line.
        const bool addressing = ninthBit_ == NinthBitSource::kAddressBit;
        if (settings.parity != applied_->parity) {
            // A byte still in the transmitter would leave with the new parity.
            if (!addressing && outputPending_ && !WaitTransmitterEmpty()) return false;
            if (!addressing && ninthBit_ != NinthBitSource::kOddEven) {
                const TtyAttributes& record =
                    settings.parity == Parity::Mark ? *markRecord_ : *spaceRecord_;
                if (const int failed = driver_->SetAttributes(record)) {
                    return Fail(kSetSettings, failed);
                }
            }
            applied_->parity = settings.parity;
        }
        if (rtsHigh_ != settings.rtsEnabled) (void)SetRts(settings.rtsEnabled);
        applied_->rtsEnabled = settings.rtsEnabled;
        return true;
    }
    if (outputPending_ && !WaitTransmitterEmpty()) return false;
    if (!ApplyFullSettings(settings)) return false;

    if (!DrivesModemLines()) return true;
    if (!hasModemLines_ && !pseudoTerminal_) {
        applied_.reset();
        return Fail(kSetSettings, ENOTTY,
                    "it has no RTS line to switch the transmitter with (bus control "
                    "AUTO_CONTROL, or the device option rs485=kernel, does without)");
    }
    // DTR stays low; RTS follows the record. A pseudo-terminal refuses these, which is not a
    // failure of the settings.
    (void)ChangeModemLines(false, kTtyLineDtr);
    rtsHigh_.reset();
    (void)SetRts(settings.rtsEnabled);
    return true;
}

TtyRs485 PosixSerialDevice::OwnRs485(uint32_t baud) const {
    TtyRs485 rs485;
    rs485.enabled = true;
    rs485.rtsOnSend = !options_.rtsActiveLow;
    rs485.rtsAfterSend = options_.rtsActiveLow;
    // The transmitter stays on about two characters after the last one, as the bus wants.
    rs485.delayAfterSendMs = static_cast<uint32_t>(2 * kBitsPerCharacter * 1000 / baud);
    return rs485;
}

bool PosixSerialDevice::ApplyRs485(uint32_t baud, bool& addressing) {
    // Addressing left on by someone else would turn parity into a ninth data bit: it goes off.
    const bool addressingAtOpen = rs485AtOpen_ && rs485AtOpen_->enabled && rs485AtOpen_->addressBit;
    if (!options_.kernelRs485 && !addressing && !addressingAtOpen) {
        RestoreRs485();
        return true;
    }
    // A mode the kernel had on by itself keeps its own RTS settings.
    TtyRs485 rs485 = kernelRs485AtOpen_ && !options_.kernelRs485 ? *rs485AtOpen_ : OwnRs485(baud);
    rs485.addressBit = addressing;
    rs485.destination.reset();
    if ((addressing || addressingAtOpen) && !rs485Restore_) {
        rs485Restore_ = options_.kernelRs485 ? OwnRs485(baud) : rs485AtOpen_.value_or(TtyRs485{});
        rs485Restore_->destination.reset();
    }
    const int failed = driver_->SetRs485(rs485);
    TtyRs485 back;
    const bool on = failed == 0 && driver_->GetRs485(back) == 0 && back.enabled;
    const std::string driver = "the driver" + (driverName_.empty() ? "" : " " + driverName_);
    if (options_.kernelRs485 && failed != 0) {
        return Fail(
            kSetSettings, failed,
            driver + " has no RS485 mode (device option rs485=kernel): " + SystemErrorText(failed));
    }
    if (options_.kernelRs485 && !on) {
        return Fail(kSetSettings, EINVAL, driver + " did not keep its RS485 mode on");
    }
    if (addressing && !(on && back.addressBit)) {
        addressing = false;
        addressBitOffered_ = false;
        NoteOnce(driver + " did not keep nine-bit addressing (ADDRB): " +
                 NinthBitText(NinthBitSource::kMarkSpace));
        return ApplyRs485(baud, addressing);
    }
    if (addressing) addressing_ = rs485;
    kernelRs485_ = true;
    return true;
}

void PosixSerialDevice::RestoreRs485() {
    addressing_.reset();
    if (!rs485Restore_) return;
    (void)driver_->SetRs485(*rs485Restore_);
    rs485Restore_.reset();
    kernelRs485_ = kernelRs485AtOpen_ || options_.kernelRs485;
}

bool PosixSerialDevice::ApplyFullSettings(const LineSettings& settings) {
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    oddRecord_.reset();
    evenRecord_.reset();
    wireParity_.reset();
    const bool ninth = IsNinthBitParity(settings.parity);
    const bool kernelMaySwitch = kernelRs485_ || (controlsRts_ && !options_.keepModemLines);
    if (ninth && !addressBitOffered_ && !pseudoTerminal_ &&
        options_.ninthBit == NinthBitChoice::kDriversBest && kernelMaySwitch) {
        addressBitOffered_ = ProbeAddressBit(*driver_).value_or(false);
    }
    const NinthBitSource source = ChooseNinthBit(
        options_, pseudoTerminal_, addressBitOffered_.value_or(false), kernelMaySwitch);
    bool addressing = ninth && source == NinthBitSource::kAddressBit;
    if (!ApplyRs485(settings.baud, addressing)) return false;
    if (!base_) {
        TtyAttributes record;
        if (const int failed = driver_->GetAttributes(record)) return Fail(kSetSettings, failed);
        base_ = record;
    }
    TtyAttributes record = *base_;
    // Raw, binary, no software flow control; damaged bytes and breaks marked in the input. Odd
    // and even parity as the ninth bit cannot be checked on input: there only breaks are marked.
    record.iflag &= ~static_cast<uint32_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP |
                                           INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL);
    record.iflag |= PARMRK;
    const bool byParity = ninth && source == NinthBitSource::kOddEven;
    if (!byParity) record.iflag |= INPCK;
    record.oflag &= ~static_cast<uint32_t>(OPOST);
    record.lflag &=
        ~static_cast<uint32_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | TOSTOP);

    // Framing, parity as the ninth bit, no hardware flow control, modem lines ignored.
    record.cflag &= ~static_cast<uint32_t>(CSIZE | CSTOPB | CRTSCTS);
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
    // Under nine-bit addressing the ninth bit is no parity; the driver keeps ADDRB by itself.
    record = WithParity(record, byParity     ? Parity::Even
                                : addressing ? Parity::None
                                             : settings.parity);
    record.cflag &= ~kTtyAddressBit;
    if (addressing) record.cflag |= kTtyAddressBit;
    record.cflag |= CREAD | CLOCAL;

    // A non-blocking read with nothing queued reports EAGAIN; 0 then means hang-up.
    record.cc[VMIN] = 1;
    record.cc[VTIME] = 0;
    record.cc[VSTART] = 17;
    record.cc[VSTOP] = 19;

    SetSpeed(record, settings.baud);
    if (const int failed = driver_->SetAttributes(record)) return Fail(kSetSettings, failed);

    TtyAttributes applied;
    if (const int failed = driver_->GetAttributes(applied)) return Fail(kSetSettings, failed);
    if (addressing && !(applied.cflag & kTtyAddressBit)) {
        // The driver took the addressing but its line record does not show it: not trusted.
        RestoreRs485();
        addressBitOffered_ = false;
        NoteOnce("the driver did not keep ADDRB in its line record: " +
                 NinthBitText(NinthBitSource::kMarkSpace));
        return ApplyFullSettings(settings);
    }
    if (!CheckApplied(settings, applied, addressing)) return false;
    if (ninth) {
        ninthBit_ = pseudoTerminal_ ? NinthBitSource::kNone
                    : byParity      ? NinthBitSource::kOddEven
                    : addressing    ? NinthBitSource::kAddressBit
                                    : NinthBitSource::kMarkSpace;
    }
    // The parity switches afterwards write the kernel's record as it stands.
    if (byParity || addressing) {
        markRecord_ = spaceRecord_ = applied;  // the switch itself changes nothing
    }
    if (byParity) {
        wireParity_ = Parity::Even;
        oddRecord_ = WithParity(applied, Parity::Odd);
        evenRecord_ = WithParity(applied, Parity::Even);
    } else if (!addressing) {
        markRecord_ = WithParity(applied, Parity::Mark);
        spaceRecord_ = WithParity(applied, Parity::Space);
    }
    applied_ = settings;
    if (!countersBase_) CountLineErrors();
    return true;
}

bool PosixSerialDevice::CheckApplied(const LineSettings& settings, const TtyAttributes& applied,
                                     bool addressing) {
    const std::string driver = "the driver" + (driverName_.empty() ? "" : " " + driverName_);
    const uint32_t tolerance = settings.baud / kRateTolerance;
    if (applied.ospeed + tolerance < settings.baud || applied.ospeed > settings.baud + tolerance) {
        return Fail(kSetSettings, EINVAL,
                    driver + " cannot run at " + std::to_string(settings.baud) + " baud (it set " +
                        std::to_string(applied.ospeed) + ")");
    }
    // A pseudo-terminal has no parity at all: a line without a ninth bit, for the simulator.
    if (pseudoTerminal_ || !IsNinthBitParity(settings.parity) || addressing) return true;
    if (options_.ninthBit == NinthBitChoice::kOddEven) {
        if (applied.cflag & PARENB) return true;
        return Fail(kSetSettings, EINVAL, driver + " does not support parity at all");
    }
    constexpr uint32_t kNinthBit = PARENB | CMSPAR;
    if ((applied.cflag & kNinthBit) != kNinthBit) {
        return Fail(kSetSettings, EINVAL,
                    driver +
                        " does not support mark/space parity (the device option "
                        "ninth=oddeven sends the ninth bit as odd or even parity instead)");
    }
    return true;
}

bool PosixSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
    if (!driver_->IsOpen()) return Fail("set timeouts", EBADF);
    timeouts_ = timeouts;
    return true;
}

bool PosixSerialDevice::SetTransmitterEmptyMask() {
    // The drain and the line status wait for exactly that event; there is no mask to set.
    return driver_->IsOpen() || Fail("set event mask", EBADF);
}

bool PosixSerialDevice::WaitTransmitterEmpty() {
    if (!driver_->IsOpen()) return Fail(kDrain, EBADF);
    for (;;) {
        const int failed = driver_->Drain();
        if (failed == 0) break;
        if (failed != EINTR) return Fail(kDrain, failed);
    }
    // The drain ends when the kernel has handed the last byte on; a USB adapter or a UART's
    // shift register may still be sending it. TEMT says when its stop bit has left.
    const uint32_t baud = applied_ ? applied_->baud : 0;
    const uint64_t character = baud != 0 ? kBitsPerCharacter * 1000000000u / baud : 0;
    // More than a UART's FIFO and an adapter's buffer take; a driver that never says empty
    // is not waited for without end.
    const uint64_t limit = MonotonicNanoseconds() + 64 * character + 20 * kNanosPerMilli;
    while (lineStatusOffered_) {
        bool empty = false;
        const int failed = driver_->GetTransmitterEmpty(empty);
        if (failed != 0) {
            if (MeansNotOffered(failed)) {
                lineStatusOffered_ = false;
                break;
            }
            return Fail(kDrain, failed);
        }
        if (empty) break;
        if (MonotonicNanoseconds() >= limit) return Fail(kDrain, ETIMEDOUT);
        PreciseWaitMicroseconds(static_cast<uint32_t>(std::max<uint64_t>(character / 4000, 5)));
    }
    outputPending_ = false;
    return true;
}

bool PosixSerialDevice::Purge() {
    if (!driver_->IsOpen()) return Fail("purge", EBADF);
    // What is still being sent belongs to the frame before; it is not cut off.
    if (outputPending_ && !WaitTransmitterEmpty()) return false;
    DropReadAhead();
    markState_ = 0;
    pendingEcho_ = 0;
    damage_.clear();
    const int failed = driver_->Flush();
    if (failed != 0) return Fail("purge", failed);
    CountLineErrors();  // errors of what the purge dropped are not this exchange's
    return true;
}

bool PosixSerialDevice::ChangeModemLines(bool raise, int lines) {
    if (!driver_->IsOpen() || !hasModemLines_) return false;
    const int failed = driver_->ChangeModemLines(raise, lines);
    if (failed == 0) return true;
    if (MeansNotOffered(failed)) hasModemLines_ = false;
    return false;
}

// Not recorded: a device without modem lines refuses this, and callers ignore it.
bool PosixSerialDevice::SetRts(bool raised) {
    if (!DrivesModemLines()) return true;
    // The transmitter is switched off only once the last stop bit has left.
    if (!raised && outputPending_ && !WaitTransmitterEmpty()) return false;
    if (!ChangeModemLines(raised != options_.rtsActiveLow, kTtyLineRts)) return false;
    rtsHigh_ = raised;
    return true;
}

bool PosixSerialDevice::Write(const uint8_t* data, size_t count, size_t& written) {
    written = 0;
    if (!driver_->IsOpen()) return Fail("write", EBADF);
    if (count == 0) return true;
    const uint64_t deadline = TotalDeadline(MonotonicNanoseconds(), timeouts_.writeTotalMultiplier,
                                            timeouts_.writeTotalConstant, count);
    const bool ninth = applied_ && IsNinthBitParity(applied_->parity);
    if (ninth && addressing_ && applied_->parity == Parity::Mark) {
        // The driver drops received addresses: their echo never arrives.
        return WriteAddresses(data, count, written);
    }
    const bool ok = wireParity_ && ninth ? WriteByParity(data, count, written, deadline)
                                         : WriteRun(data, count, written, deadline);
    if (options_.discardEcho) pendingEcho_ += written;
    return ok;
}

bool PosixSerialDevice::WriteAddresses(const uint8_t* data, size_t count, size_t& written) {
    TtyRs485 rs485 = *addressing_;
    while (written < count) {
        // The driver sends an address at once: what was written before must have left.
        if (outputPending_ && !WaitTransmitterEmpty()) return false;
        rs485.destination = data[written];
        if (const int failed = driver_->SetRs485(rs485)) return Fail("write", failed);
        ++written;
        outputPending_ = true;
    }
    return true;
}

bool PosixSerialDevice::WriteByParity(const uint8_t* data, size_t count, size_t& written,
                                      uint64_t deadline) {
    const bool mark = applied_->parity == Parity::Mark;
    while (written < count) {
        const Parity parity = ParityGiving(data[written], mark);
        size_t run = 1;
        while (written + run < count && ParityGiving(data[written + run], mark) == parity) ++run;
        if (parity != wireParity_) {
            // The bytes before must leave with the parity they were written with.
            if (outputPending_ && !WaitTransmitterEmpty()) return false;
            const TtyAttributes& record = parity == Parity::Odd ? *oddRecord_ : *evenRecord_;
            if (const int failed = driver_->SetAttributes(record)) return Fail("write", failed);
            wireParity_ = parity;
        }
        size_t moved = 0;
        const bool ok = WriteRun(data + written, run, moved, deadline);
        written += moved;
        if (!ok || moved < run) return ok;
    }
    return true;
}

bool PosixSerialDevice::WriteRun(const uint8_t* data, size_t count, size_t& written,
                                 uint64_t deadline) {
    written = 0;
    while (written < count) {
        size_t moved = 0;
        const int failed = driver_->Write(data + written, count - written, moved);
        if (failed == 0 && moved > 0) {
            written += moved;
            outputPending_ = true;
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

void PosixSerialDevice::TakeRaw(const uint8_t* raw, size_t count) {
    // The read-ahead is empty when raw bytes are taken: a read takes from it first.
    aheadBegin_ = aheadEnd_ = 0;
    for (size_t i = 0; i < count && damage_.empty(); ++i) {
        const uint8_t byte = raw[i];
        bool damaged = false;
        if (markState_ == 0 && byte == kMarkByte) {
            markState_ = 1;
            continue;
        }
        if (markState_ == 1) {
            markState_ = byte == 0x00 ? 2 : 0;
            if (markState_ == 2) continue;
            // 0xFF 0xFF: a 0xFF; anything else cannot follow a mark and is taken as it is
        } else if (markState_ == 2) {
            markState_ = 0;
            damaged = true;
        }
        if (pendingEcho_ > 0) {
            --pendingEcho_;  // the adapter's echo of a sent byte, damaged or not
            continue;
        }
        if (damaged) {
            damage_ = byte == 0x00 ? "a break or a damaged byte" : "a damaged byte";
            break;
        }
        readAhead_[aheadEnd_++] = byte;
    }
}

void PosixSerialDevice::CountLineErrors() {
    if (!countersOffered_) return;
    TtyCounters now;
    if (const int failed = driver_->GetCounters(now)) {
        if (MeansNotOffered(failed)) countersOffered_ = false;
        return;
    }
    if (countersBase_) {
        TtyCounters grown;
        grown.framing = Grown(now.framing, countersBase_->framing);
        grown.parity = Grown(now.parity, countersBase_->parity);
        grown.overruns = Grown(now.overruns, countersBase_->overruns);
        grown.breaks = Grown(now.breaks, countersBase_->breaks);
        AddThreadLineErrors(grown);
        // The kernel's counts say what a damaged byte was.
        if (!damage_.empty()) {
            if (grown.breaks > 0) {
                damage_ = "a break on the line";
            } else if (grown.parity > 0) {
                damage_ = "a parity error on the line";
            } else if (grown.framing > 0) {
                damage_ = "a framing error on the line";
            }
        }
    }
    countersBase_ = now;
}

bool PosixSerialDevice::Read(uint8_t* buffer, size_t count, size_t& received) {
    received = 0;
    if (!driver_->IsOpen()) return Fail("read", EBADF);
    if (count == 0) return true;
    const bool ok = ReadInput(buffer, count, received);
    CountLineErrors();
    if (ok && received < count && !damage_.empty() && aheadBegin_ == aheadEnd_) {
        std::string what = "received " + damage_;
        damage_.clear();
        return Fail("read", EBADMSG, std::move(what));
    }
    return ok;
}

bool PosixSerialDevice::ReadInput(uint8_t* buffer, size_t count, size_t& received) {
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
        // A damaged byte ends what can be read.
        if (!damage_.empty()) return true;
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
        const int failed = driver_->Read(raw_.data(), raw_.size(), got);
        if (failed == 0 && got > 0) {
            TakeRaw(raw_.data(), got);
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

bool PosixSerialDevice::Close() {
    if (!driver_->IsOpen()) return Fail("close", EBADF);
    if (exclusiveSetHere_) (void)driver_->SetExclusive(false);
    exclusiveSetHere_ = false;
    RestoreRs485();
    addressBitOffered_.reset();
    const int number = driver_->Close();  // also releases the flock
    base_.reset();
    applied_.reset();
    markRecord_.reset();
    spaceRecord_.reset();
    rtsHigh_.reset();
    oddRecord_.reset();
    evenRecord_.reset();
    wireParity_.reset();
    countersBase_.reset();
    outputPending_ = false;
    pendingEcho_ = 0;
    markState_ = 0;
    damage_.clear();
    DropReadAhead();
    return number == 0 || Fail("close", number);
}

}  // namespace kelcmd
