#pragma once

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/device_options.h"
#include "platform/ninth_bit.h"
#include "platform/serial_device.h"
#include "platform/tty_driver.h"

namespace kelcmd {

// A tty driven through termios (every system call through a TtyDriver): exclusive open, mark/space
// parity as the ninth bit, RTS, drain, flush, and reads with interval and total timeouts.
//
// - open: O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, then TIOCEXCL and a non-blocking
//   flock(LOCK_EX), so that a second opener fails, also as root (TIOCEXCL does not stop root).
//   TIOCEXCL is set and cleared on close only when no other opener had set it.
//   The device text may carry options after a '?' (platform/device_options.h). Where the driver
//   offers them, ASYNC_LOW_LATENCY is set and a USB adapter's latency_timer is put to 1 ms; what
//   cannot be set is said once, in Notes().
// - line settings: raw mode, CS8, one stop bit, no flow control, CLOCAL, CREAD, any rate
//   (termios2); mark parity is PARENB | CMSPAR | PARODD, space parity PARENB | CMSPAR. Parity
//   and framing errors and breaks are marked (INPCK | PARMRK). Every full set is read back: a
//   driver that changed the rate, or dropped mark/space parity, fails it with the reason, except
//   on a pseudo-terminal, which is taken as a line without a ninth bit. With the ninth=oddeven
//   option each byte goes out with odd or even parity instead, whichever gives its ninth bit.
// - nine-bit addressing: where the driver offers it (ProbeAddressBit) and the kernel's RS485 mode
//   may switch the transmitter (it is on already, or the line would switch RTS itself), the
//   ninth bit is the driver's: the line runs without parity, a byte written under mark parity
//   is sent as the driver's address byte (one RS485 set each), and bytes written under space
//   parity are plain data. The RS485 settings found at open are put back at close. ninth=markspace
//   keeps mark/space parity; a driver that drops the addressing gets mark/space parity, noted.
// - modem lines: only when the line controls RTS (SetControlsRts), and never with lines=keep or
//   while the kernel's RS485 mode switches the transmitter. Then DTR is kept low and RTS follows
//   rtsEnabled (rts=low inverts it); a device that has no modem lines cannot open such a line,
//   a pseudo-terminal excepted. RTS is dropped only after the transmitter is empty.
// - transmitter empty: drain, then the line status register's TEMT where TIOCSERGETLSR answers.
//   A purge and a parity switch after a write wait for it first.
// - the per-frame parity switch: a record that differs from the one applied last only in mark or
//   space parity and RTS costs one ioctl (the record prepared when the full record was applied and
//   checked); RTS is driven only when it changes. Everything else goes the full way, with its
//   check.
// - timeouts: the read timeout semantics of CommTimeouts, emulated with poll() on the non-blocking
//   descriptor; the write total timeout likewise (both 0 = no limit). A read takes everything
//   that has arrived into a read-ahead buffer, so an acknowledge and the answer behind it cost one
//   poll and one read; the buffer counts as part of the input queue (a purge drops it).
// - input: a byte marked as damaged (parity or framing error, break) ends the read as a failure
//   (EBADMSG, with what it was); the kernel's error counters of each read are added to the calling
//   thread's line errors (platform/line_errors.h). With echo=discard, as many bytes as were written
//   are dropped from the input first.
// - failures: the errno of the failing call is recorded with the step and the path (a hang-up
//   reads as EIO, an operation on the closed device as EBADF, a rate of 0 as EINVAL, a wait ended
//   by the cancel descriptor as ECANCELED). The ignored
//   modem-line failures are not recorded.
class PosixSerialDevice final : public SerialDevice {
  public:
    // Opens the device text `device` (a path, options after a '?') for exclusive use; null when
    // it does not exist, cannot be opened, is in use or has an unknown option, with the reason in
    // ThreadSystemError (EBUSY when another opener holds the device).
    static std::unique_ptr<PosixSerialDevice> Open(const std::string& device);
    // The same through `driver` (a model of a driver in tests).
    static std::unique_ptr<PosixSerialDevice> Open(const std::string& device,
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
    // What the user should know about how the device is driven (a setting it could not make,
    // the kernel switching the transmitter); empty when nothing.
    std::string Notes() const;
    // How the ninth bit is produced under the settings applied last.
    NinthBitSource NinthBit() const { return ninthBit_; }
    // Whether the line switches the transmitter through RTS (the default); when not, DTR and RTS
    // are never touched (converters may be powered from them). Takes effect at the next full
    // SetLineSettings.
    void SetControlsRts(bool controlsRts) { controlsRts_ = controlsRts; }
    // A descriptor that, while readable, ends every wait at once with ECANCELED (a close from
    // another thread); -1 for none. Not owned: it must outlive the device.
    void SetCancelDescriptor(int descriptor) { driver_->SetCancelDescriptor(descriptor); }

    // The open descriptor; -1 when closed or on a model of a driver.
    int Descriptor() const { return driver_->Descriptor(); }
    const CommTimeouts& Timeouts() const { return timeouts_; }

    // The termios speed constant of a baud rate, or nullopt for a rate without one.
    static std::optional<speed_t> SpeedOf(uint32_t baud);
    // The baud rate of a termios speed constant, 0 when unknown.
    static uint32_t BaudOf(speed_t speed);

  private:
    PosixSerialDevice(std::unique_ptr<TtyDriver> driver, std::string path, DeviceOptions options);
    // Records `number` as the reason `operation` failed, here and for the calling thread; false.
    // `reason` replaces the errno's text when given.
    bool Fail(const char* operation, int number, std::string reason = {});
    // Low latency and the kernel's RS485 state, learnt once at open.
    void PrepareAtOpen();
    // Puts the kernel's RS485 mode as the options and the ninth bit want it: on with
    // rs485=kernel, with nine-bit addressing when `addressing`. A driver that drops the
    // addressing clears `addressing` (noted); false only when rs485=kernel cannot be had.
    bool ApplyRs485(uint32_t baud, bool& addressing);
    // The RS485 record of the library's own: RTS on send as the polarity says, the delays from
    // the bus gaps.
    TtyRs485 OwnRs485(uint32_t baud) const;
    // Gives up nine-bit addressing: the RS485 settings go back to what they were.
    void RestoreRs485();
    void NoteOnce(const std::string& note);
    // Whether the line read back is what was asked for; fails with the reason when not.
    bool CheckApplied(const LineSettings& settings, const TtyAttributes& applied, bool addressing);
    bool DrivesModemLines() const {
        return controlsRts_ && !options_.keepModemLines && !kernelRs485_;
    }
    // Writes with the record in force, within `deadline`.
    bool WriteRun(const uint8_t* data, size_t count, size_t& written, uint64_t deadline);
    // Sends each byte as the driver's address byte, one after the other.
    bool WriteAddresses(const uint8_t* data, size_t count, size_t& written);
    // Writes ninth-bit bytes as odd or even parity, byte by byte as needed.
    bool WriteByParity(const uint8_t* data, size_t count, size_t& written, uint64_t deadline);
    // Takes `count` raw bytes into the read-ahead: unmarks, drops the echo, stops at a damaged one.
    void TakeRaw(const uint8_t* raw, size_t count);
    // Adds the kernel's error counts since the last look to the thread's line errors.
    void CountLineErrors();
    bool ApplyFullSettings(const LineSettings& settings);
    // Waits for `events` until `deadline` (kNoDeadline: without limit): 1 ready with the events
    // in `revents`, 0 the deadline passed, -1 failed with the errno in `number`.
    int PollUntil(short events, uint64_t deadline, short& revents, int& number);
    // A modem-line ioctl; a device that refuses it as unknown is taken to have no modem lines.
    bool ChangeModemLines(bool raise, int lines);
    // Reads under the timeouts, up to a damaged byte.
    bool ReadInput(uint8_t* buffer, size_t count, size_t& received);
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
    DeviceOptions options_;
    bool pseudoTerminal_ = false;
    std::string driverName_;
    std::vector<std::string> notes_;
    bool hasModemLines_ = true;
    bool controlsRts_ = true;
    bool kernelRs485_ = false;        // the kernel switches the transmitter
    bool kernelRs485AtOpen_ = false;  // and did so before this open
    std::optional<TtyRs485> rs485AtOpen_;
    std::optional<bool> addressBitOffered_;  // learnt at the first full set that could use it
    std::optional<TtyRs485> addressing_;     // the RS485 record while addressing is in force
    std::optional<TtyRs485> rs485Restore_;   // what to put back once addressing was tried
    NinthBitSource ninthBit_ = NinthBitSource::kMarkSpace;
    bool exclusiveSetHere_ = false;  // TIOCEXCL set by this open, cleared by its close
    bool lineStatusOffered_ = true;
    bool countersOffered_ = true;
    std::optional<TtyCounters> countersBase_;
    bool outputPending_ = false;  // written since the transmitter was last seen empty
    size_t pendingEcho_ = 0;
    // Unmarking: 0, or how many bytes of a mark (0xFF, 0xFF 0x00) the last raw chunk ended in.
    int markState_ = 0;
    std::string damage_;  // what a damaged byte in the input was, until a read reports it
    std::optional<TtyAttributes> oddRecord_;
    std::optional<TtyAttributes> evenRecord_;
    std::optional<Parity> wireParity_;  // odd or even in force under ninth=oddeven
    std::optional<bool> rtsHigh_;       // known after the first successful change
    std::vector<uint8_t> readAhead_;
    std::vector<uint8_t> raw_;
    size_t aheadBegin_ = 0;
    size_t aheadEnd_ = 0;
};

}  // namespace kelcmd
