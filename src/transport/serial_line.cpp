#include "transport/serial_line.h"

#include <errno.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/clock.h"
#include "platform/line_rates.h"
#include "platform/ninth_bit.h"
#include "platform/posix_serial_device.h"
#include "platform/tty_access.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

constexpr uint32_t kQueueSize = 1200;
constexpr char kLoopbackText[] = "Dies ist ein Test!";
constexpr size_t kLoopbackLength = sizeof(kLoopbackText) - 1;  // 18, without terminator

// The reasons a tty gives once its device has gone: EIO after a USB adapter was unplugged or the
// other side of a pseudo-terminal closed, ENXIO and ENODEV for a device node left behind.
bool IsDeviceGone(int number) {
    return number == EIO || number == ENXIO || number == ENODEV;
}

}  // namespace

CSerialLine::~CSerialLine() {
    if (handleValid_) Close();
    device_.reset();  // also a handle that a failed open left behind
}

template <typename Opener>
uint8_t CSerialLine::OpenWith(uint32_t baud, const std::string& devicePath, uint8_t busControl,
                              uint32_t characterTimeout, uint32_t receiveTrials, Opener&& opener) {
    // 1. Clear the opened flag, store the arguments.
    opened_ = false;
    deviceLost_ = false;
    baud_ = baud;
    busControl_ = busControl;
    receiveTrials_ = receiveTrials;
    characterTimeout_ = characterTimeout;
    devicePath_ = devicePath;

    // 2. Close a valid handle first.
    if (handleValid_) Close();
    // A handle that a failed open (steps 4 to 8) left open is never used again (every transfer
    // checks the handle-valid flag); release it so that the device is not held against this open.
    if (!handleValid_) device_.reset();
    // The reason of a failure below belongs to this open alone, and a new device owes nothing to
    // the old one's failed exchanges.
    lastSystemError_ = {};
    openWarning_.clear();
    unsettled_ = false;
    ClearThreadSystemError();

    // A rate that no line runs at fails before any device opens, alike for every device kind.
    if (!IsLineBaudRate(baud)) {
        lastSystemError_ = {EINVAL, "set line settings", devicePath};
        RecordThreadSystemError(lastSystemError_);
        return WIN_ERR_SETCOMM;
    }

    // 3. Open the device.
    std::unique_ptr<SerialDevice> device = opener();
    if (!device) {
        lastSystemError_ = ThreadSystemError();
        ExplainRefusedOpen(lastSystemError_);
        RecordThreadSystemError(lastSystemError_);
        return WIN_ERR_OPENCOMM;
    }
    device_ = std::move(device);
    openWarning_ = SharedOpenWarning(devicePath);

    // 4. Queue sizes.
    if (!Checked(device_->SetupQueues(kQueueSize, kQueueSize))) return WIN_ERR_SETCOMM;

    // 5. The current line settings.
    if (!Checked(device_->GetLineSettings(lineSettings_))) return WIN_ERR_GETCOMM;

    // 6. The line settings: baud as requested, 8 data bits, space parity, one stop bit,
    //    RTS low where the line controls it; the device supplies raw mode and no flow control.
    lineSettings_.baud = baud;
    lineSettings_.dataBits = 8;
    lineSettings_.parity = Parity::Space;
    lineSettings_.stopBits = 1;
    lineSettings_.rtsEnabled = false;
    rtsRaised_ = false;
    // DTR and RTS are left as they are unless the line switches the transmitter with RTS.
    if (auto* tty = dynamic_cast<PosixSerialDevice*>(device_.get())) {
        tty->SetControlsRts(busControl == RTS_CONTROL);
        tty->SetCancelDescriptor(cancel_.Descriptor());
    }
    if (!Checked(device_->SetLineSettings(lineSettings_))) return WIN_ERR_SETCOMM;

    // 7. Purge both queues.
    if (!Checked(device_->Purge())) return WIN_ERR_SETCOMM;

    // 8. The transmitter-empty event mask.
    if (!Checked(device_->SetTransmitterEmptyMask())) return WIN_ERR_SETCOMM;

    // 9. Open.
    opened_ = true;
    handleValid_ = true;
    return RESULT_OK;
}

uint8_t CSerialLine::Open(uint32_t baud, const std::string& devicePath, uint8_t busControl,
                          uint32_t characterTimeout, uint32_t receiveTrials) {
    reopenable_ = true;
    return OpenWith(baud, devicePath, busControl, characterTimeout, receiveTrials,
                    [&devicePath] { return OpenSerialDevice(devicePath); });
}

uint8_t CSerialLine::Open(std::unique_ptr<SerialDevice> device, uint32_t baud,
                          const std::string& devicePath, uint8_t busControl,
                          uint32_t characterTimeout, uint32_t receiveTrials) {
    reopenable_ = false;
    return OpenWith(baud, devicePath, busControl, characterTimeout, receiveTrials,
                    [&device] { return std::move(device); });
}

uint8_t CSerialLine::OpenPort(uint32_t baud, const std::string& portName, uint8_t busControl,
                              uint32_t characterTimeout, uint32_t receiveTrials) {
    const std::optional<std::string> devicePath = ResolvePortDevice(portName);
    if (!devicePath) {
        return OpenWith(baud, portName, busControl, characterTimeout, receiveTrials, [&portName] {
            const int reason = PortNameFitsLimit(portName) ? ENODEV : ENAMETOOLONG;
            RecordThreadSystemError({reason, "open", portName});
            return std::unique_ptr<SerialDevice>();
        });
    }
    return Open(baud, *devicePath, busControl, characterTimeout, receiveTrials);
}

uint8_t CSerialLine::Close() {
    if (deviceLost_ && !handleValid_) {
        deviceLost_ = false;  // nothing left to close
        return RESULT_OK;
    }
    if (!handleValid_ || !device_) return WIN_ERR_CLOSECOMM;
    if (!Checked(device_->Close())) return WIN_ERR_CLOSECOMM;
    device_.reset();
    handleValid_ = false;
    return RESULT_OK;
}

std::string CSerialLine::GetDeviceNotes() const {
    const auto* tty = dynamic_cast<const PosixSerialDevice*>(device_.get());
    return handleValid_ && tty != nullptr ? tty->Notes() : std::string();
}

std::string CSerialLine::GetDescription() const {
    if (!handleValid_) return {};
    std::string text = devicePath_ + " at " + std::to_string(lineSettings_.baud) + " baud";
    if (const auto* tty = dynamic_cast<const PosixSerialDevice*>(device_.get())) {
        text += ", " + NinthBitText(tty->NinthBit());
    }
    if (const std::string notes = GetDeviceNotes(); !notes.empty()) text += "; " + notes;
    return text;
}

uint32_t CSerialLine::GetBaudrate() const {
    return opened_ ? lineSettings_.baud : 0;
}

bool CSerialLine::Checked(bool succeeded) {
    if (!succeeded && device_) {
        SystemError reason = device_->LastSystemError();
        if (reason.number != 0) lastSystemError_ = std::move(reason);
        if (handleValid_ && IsDeviceGone(lastSystemError_.number)) LoseDevice();
    }
    return succeeded;
}

void CSerialLine::LoseDevice() {
    (void)device_->Close();  // fails as well: the descriptor goes all the same
    device_.reset();
    handleValid_ = false;
    rtsRaised_ = false;
    unsettled_ = false;
    deviceLost_ = reopenable_;
    lastSystemError_.reason = "device lost (" + SystemErrorText(lastSystemError_.number) + ")" +
                              (reopenable_ ? "; the next command opens it again" : "");
    RecordThreadSystemError(lastSystemError_);
}

uint8_t CSerialLine::FindLostDevice() {
    if (!deviceLost_) return RESULT_OK;
    const uint8_t result = Open(baud_, devicePath_, busControl_, characterTimeout_, receiveTrials_);
    // Still away: the port stays as it was, and the command after this one looks again.
    if (result != RESULT_OK) deviceLost_ = true;
    return result;
}

bool CSerialLine::SetParity(Parity parity) {
    lineSettings_.parity = parity;
    lineSettings_.rtsEnabled = rtsRaised_;
    return device_ && Checked(device_->SetLineSettings(lineSettings_));
}

void CSerialLine::RaiseRts() {
    rtsRaised_ = true;
    if (device_) (void)device_->SetRts(true);
}

void CSerialLine::DropRts() {
    rtsRaised_ = false;
    if (device_) (void)device_->SetRts(false);
}

bool CSerialLine::Purge() {
    return device_ && Checked(device_->Purge());
}

bool CSerialLine::ApplyTimeouts() {
    return device_ && Checked(device_->SetTimeouts(timeouts_));
}

bool CSerialLine::SetTransmitTimeouts() {
    timeouts_.readInterval = 0;
    timeouts_.readTotalMultiplier = 0;
    timeouts_.readTotalConstant = characterTimeout_;
    timeouts_.writeTotalMultiplier = 0;
    timeouts_.writeTotalConstant = 0;
    return ApplyTimeouts();
}

bool CSerialLine::SetReceiveTimeouts(uint32_t firstCharacterTimeout) {
    timeouts_.readInterval = characterTimeout_;
    timeouts_.readTotalMultiplier = characterTimeout_;
    timeouts_.readTotalConstant =
        firstCharacterTimeout != 0 ? firstCharacterTimeout : kWaitWithoutLimit;
    timeouts_.writeTotalMultiplier = 0;
    timeouts_.writeTotalConstant = 0;
    return ApplyTimeouts();
}

bool CSerialLine::SetReadTotalConstant(uint32_t constant) {
    timeouts_.readTotalConstant = constant;
    return ApplyTimeouts();
}

bool CSerialLine::WaitTransmitterEmpty() {
    return device_ && Checked(device_->WaitTransmitterEmpty());
}

bool CSerialLine::Write(const uint8_t* bytes, size_t count, size_t& written) {
    written = 0;
    return device_ && Checked(device_->Write(bytes, count, written));
}

bool CSerialLine::Read(uint8_t* buffer, size_t count, size_t& received) {
    received = 0;
    return device_ && Checked(device_->Read(buffer, count, received));
}

uint32_t CSerialLine::CharacterGap(uint32_t baud) {
    switch (baud) {
        case 110:
            return 184000;
        case 300:
            return 92000;
        case 600:
            return 46000;
        case 1200:
            return 20000;
        case 2400:
            return 11000;
        case 4800:
            return 5000;
        case 9600:
            return 2800;
        case 19200:
            return 1200;
        case 38400:
            return 700;
        case 57600:
            return 600;
        default:
            return 0;
    }
}

void CSerialLine::BusyWait(uint32_t microseconds) {
    PreciseWaitMicroseconds(microseconds);
}

void CSerialLine::NoteUnsettled(uint32_t guardMs) {
    unsettled_ = true;
    unsettledSince_ = MonotonicNanoseconds();
    guardMs_ = guardMs;
}

void CSerialLine::Settle(std::vector<uint8_t>* dropped) {
    if (!unsettled_) return;
    unsettled_ = false;
    if (!device_) return;
    constexpr uint64_t kNanosPerMilli = 1000000u;
    const uint64_t guard = uint64_t{guardMs_} * kNanosPerMilli;
    const uint64_t limit = unsettledSince_ + 2 * guard;
    uint64_t quietUntil = unsettledSince_ + guard;
    uint64_t now = MonotonicNanoseconds();
    uint8_t scratch[64];
    while (now < quietUntil) {
        CommTimeouts wait;
        wait.readTotalConstant =
            static_cast<uint32_t>((quietUntil - now + kNanosPerMilli - 1) / kNanosPerMilli);
        size_t received = 0;
        if (!device_->SetTimeouts(wait) || !device_->Read(scratch, sizeof scratch, received)) break;
        now = MonotonicNanoseconds();
        if (received > 0) {
            if (dropped != nullptr) dropped->insert(dropped->end(), scratch, scratch + received);
            quietUntil = std::min(
                limit, std::max(quietUntil, now + uint64_t{characterTimeout_} * kNanosPerMilli));
        }
    }
    (void)ApplyTimeouts();
}

LoopbackResult CSerialLine::RunLoopback() {
    if (!handleValid_) return LoopbackResult::kNotOpen;
    Purge();
    size_t written = 0;
    if (!Write(reinterpret_cast<const uint8_t*>(kLoopbackText), kLoopbackLength, written) ||
        written < kLoopbackLength) {
        return LoopbackResult::kNotSent;
    }
    SetReceiveTimeouts(characterTimeout_);
    uint8_t received[kLoopbackLength] = {};
    size_t count = 0;
    const bool readOk = Read(received, kLoopbackLength, count);
    if (readOk && count == kLoopbackLength &&
        std::memcmp(received, kLoopbackText, kLoopbackLength) == 0) {
        return LoopbackResult::kPassed;
    }
    return LoopbackResult::kFailed;
}

}  // namespace kelcmd
