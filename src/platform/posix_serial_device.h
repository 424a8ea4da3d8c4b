#pragma once

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_device.h"
#include "platform/tty_driver.h"

namespace kelcmd {

// A tty driven through termios (every system call through a TtyDriver): exclusive open, mark/space
// parity as the ninth bit, RTS, drain, flush, and reads with interval and total timeouts.
//
// - open: O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, then TIOCEXCL and a non-blocking
//   flock(LOCK_EX), so that a second opener fails, also as root (TIOCEXCL does not stop root).
// - line settings: raw mode, CS8, one stop bit, no flow control, no input parity check, CLOCAL,
//   CREAD; mark parity is PARENB | CMSPAR | PARODD, space parity PARENB | CMSPAR. DTR is kept low
//   and RTS follows the settings' rtsEnabled (failures of the modem-line ioctls, as on a
//   pseudo-terminal, are ignored). Only the standard Bxxx rates are accepted.
// - the per-frame parity switch: a record that differs from the one applied last only in mark or
//   space parity and RTS costs one ioctl (the kernel record prepared when the full record was
//   applied and checked); RTS is driven only when it changes, and not at all once the device has
//   shown that it has no modem lines. Everything else goes the full way, with its check.
// - timeouts: the read timeout semantics of CommTimeouts, emulated with poll() on the non-blocking
//   descriptor; the write total timeout likewise (both 0 = no limit). A read takes everything
//   that has arrived into a read-ahead buffer, so an acknowledge and the answer behind it cost one
//   poll and one read; the buffer counts as part of the input queue (a purge drops it).
// - transmitter empty: tcdrain(); purge: tcflush(TCIOFLUSH).
// - failures: the errno of the failing call is recorded with the step and the path (a hang-up
//   reads as EIO, an operation on the closed device as EBADF, a rate without a Bxxx constant as
//   EINVAL). The ignored modem-line failures are not recorded.
class PosixSerialDevice final : public SerialDevice {
  public:
    // Opens `path` for exclusive use; null when it does not exist, cannot be opened or is in use,
    // with the reason in ThreadSystemError (EBUSY when another opener holds the device).
    static std::unique_ptr<PosixSerialDevice> Open(const std::string& path);
    // The same through `driver` (a model of a driver in tests).
    static std::unique_ptr<PosixSerialDevice> Open(const std::string& path,
                                                   std::unique_ptr<TtyDriver> driver);

    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool SetupQueues(uint32_t inputSize, uint32_t outputSize) override;
    bool GetLineSettings(LineSettings& settings) override;
    bool SetLineSettings(const LineSettings& settings) override;
    bool SetTimeouts(const CommTimeouts& timeouts) override;
    bool SetTransmitterEmptyMask() override;
    bool WaitTransmitterEmpty() override;
    bool Purge() override;
    bool SetRts(bool raised) override;
    bool Write(const uint8_t* data, size_t count, size_t& written) override;
    bool Read(uint8_t* buffer, size_t count, size_t& received) override;
    bool Close() override;
    SystemError LastSystemError() const override { return lastError_; }

    // The open descriptor; -1 when closed or on a model of a driver.
    int Descriptor() const { return driver_->Descriptor(); }
    const CommTimeouts& Timeouts() const { return timeouts_; }

    // The termios speed constant of a baud rate, or nullopt for a rate without one.
    static std::optional<speed_t> SpeedOf(uint32_t baud);
    // The baud rate of a termios speed constant, 0 when unknown.
    static uint32_t BaudOf(speed_t speed);

  private:
    PosixSerialDevice(std::unique_ptr<TtyDriver> driver, std::string path);
    // Records `number` as the reason `operation` failed, here and for the calling thread; false.
    bool Fail(const char* operation, int number);
    bool ApplyFullSettings(const LineSettings& settings);
    // Waits for `events` until `deadline` (kNoDeadline: without limit): 1 ready with the events
    // in `revents`, 0 the deadline passed, -1 failed with the errno in `number`.
    int PollUntil(short events, uint64_t deadline, short& revents, int& number);
    // A modem-line ioctl; a device that refuses it as unknown is taken to have no modem lines.
    bool ChangeModemLines(bool raise, int lines);
    // Hands out read-ahead bytes; returns how many.
    size_t TakeReadAhead(uint8_t* buffer, size_t count);
    void DropReadAhead() { aheadBegin_ = aheadEnd_ = 0; }

    std::unique_ptr<TtyDriver> driver_;
    std::string path_;
    SystemError lastError_;
    CommTimeouts timeouts_{};
    // The platform's record as last read, the base every full SetLineSettings starts from.
    std::optional<TtyAttributes> base_;
    // The settings applied last, and the kernel records of that line with mark and space parity.
    std::optional<LineSettings> applied_;
    std::optional<TtyAttributes> markRecord_;
    std::optional<TtyAttributes> spaceRecord_;
    bool hasModemLines_ = true;
    std::optional<bool> rtsHigh_;  // known after the first successful change
    std::vector<uint8_t> readAhead_;
    size_t aheadBegin_ = 0;
    size_t aheadEnd_ = 0;
};

}  // namespace kelcmd
