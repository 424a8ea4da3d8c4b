#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/cancel_signal.h"
#include "platform/serial_device.h"
#include "transport/exchange_line.h"

namespace kelcmd {

enum BusControl : uint8_t { RTS_CONTROL = 0, AUTO_CONTROL = 1 };

// What a loopback test found: the line is closed, the test text could not be written, it came back
// unchanged, or it did not.
enum class LoopbackResult { kNotOpen, kNotSent, kPassed, kFailed };

// One serial port of the bus: opens its device, switches the ninth bit (mark parity for the address
// byte, space for the rest), drives RTS for RS485 transmitters, keeps the read timeouts the packet
// protocol needs in each phase, and busy-waits the bus gaps. Not locked: its port's lock serialises
// every transfer. As an exchange line it runs the packet protocol on itself.
class CSerialLine : public ExchangeLine {
  public:
    CSerialLine() = default;
    virtual ~CSerialLine();
    CSerialLine(const CSerialLine&) = delete;
    CSerialLine& operator=(const CSerialLine&) = delete;

    // Result codes: 0, 128 (cannot open), 131 (cannot set), 132 (cannot get the settings).
    // `devicePath` is the resolved device (see transport/port_resolver.h), opened through
    // OpenSerialDevice. The path is stored for the loopback texts.
    uint8_t Open(uint32_t baud, const std::string& devicePath, uint8_t busControl,
                 uint32_t characterTimeout, uint32_t receiveTrials);
    // The same with a device that the caller opened already (a test double, another backend):
    // step 3 takes `device` instead of opening, and fails with 128 when it is null. The old handle
    // is closed before the new one is taken, as in Open.
    uint8_t Open(std::unique_ptr<SerialDevice> device, uint32_t baud, const std::string& devicePath,
                 uint8_t busControl, uint32_t characterTimeout, uint32_t receiveTrials);
    // Resolves a port name ("Com1", "/dev/ttyUSB0", "sim", a mapped name) and opens its device; a
    // name that does not resolve fails at step 3 with 128, its reason ENAMETOOLONG (too long) or
    // ENODEV (names no device).
    uint8_t OpenPort(uint32_t baud, const std::string& portName, uint8_t busControl,
                     uint32_t characterTimeout, uint32_t receiveTrials);
    uint8_t Close();  // 0, or 135 when not open or the close fails

    // The one call safe from any thread, without the port's lock: ends the wait of an exchange in
    // progress at once (it fails with ECANCELED), and every wait after it, until ClearInterrupt.
    // A close or new settings from another thread call it before they take the port's lock.
    void Interrupt() { cancel_.Raise(); }
    void ClearInterrupt() { cancel_.Clear(); }
    // What Interrupt raises, for another line of the same port to watch (a remote bus).
    int CancelDescriptor() const { return cancel_.Descriptor(); }

    // A device that went away (unplugged: EIO or a hang-up) is closed at once, with the reason
    // "device lost"; the line stays open for its port, and the next exchange opens the same path
    // again (a by-id link finds the adapter under its new number). A line opened on a device
    // object has no path to open again: it is closed for good.
    bool IsDeviceLost() const { return deviceLost_; }

    // The operating system's reason of the last failed open or device operation, with the step
    // that failed: "open /dev/ttyUSB9: No such file or directory" after a 128. An open starts
    // afresh; the reason is also recorded for the calling thread (ThreadSystemError).
    const SystemError& GetLastSystemError() const { return lastSystemError_; }

    // After an open: other processes have the tty open without having locked it (a terminal
    // program), so their reads and writes would corrupt the exchanges; empty when none has.
    const std::string& GetOpenWarning() const { return openWarning_; }

    // What the user should know of the open port: the device, its rate, how the ninth bit is
    // produced (a tty), then what the device noted at this open (the kernel switching the
    // transmitter, a latency it could not lower), each once: "/dev/ttyUSB0 at 19200 baud, the
    // ninth bit by mark/space parity; each reception waits up to 16 ms ...". Empty while closed.
    std::string GetDescription() const;
    // What the device noted at this open, in the words of kelcmd doctor; empty when nothing.
    std::string GetDeviceNotes() const;

    uint32_t GetBaudrate() const;  // baud of the last successful open, else 0
    bool IsOpen() const override { return handleValid_ || deviceLost_; }
    uint32_t GetCharacterTimeout() const { return characterTimeout_; }
    uint32_t GetReceiveTrials() const { return receiveTrials_; }
    uint8_t GetBusControl() const { return busControl_; }
    const std::string& GetDevicePath() const { return devicePath_; }
    bool IsRtsRaised() const { return rtsRaised_; }

    bool SetParity(Parity parity);
    void RaiseRts();
    void DropRts();
    bool Purge();
    bool SetTransmitTimeouts();
    bool SetReceiveTimeouts(uint32_t firstCharacterTimeout);
    bool SetReadTotalConstant(uint32_t constant);
    bool WaitTransmitterEmpty();
    bool Write(const uint8_t* bytes, size_t count, size_t& written);
    bool Read(uint8_t* buffer, size_t count, size_t& received);

    static uint32_t CharacterGap(uint32_t baud);  // microseconds, 0 for rates not in the table
    // Waits a bus gap to a few microseconds: sleeps through most of it and spins only at its end,
    // so that the gaps of a frame do not hold a core.
    static void BusyWait(uint32_t microseconds);

    // After an exchange whose answer did not come in time, or came damaged beyond resend, the
    // unit may still be sending. `guardMs` is how long the line must stay quiet from now on before
    // the next frame may go out.
    void NoteUnsettled(uint32_t guardMs);
    bool IsUnsettled() const { return unsettled_; }
    // Before a transmit: when the line is unsettled, waits until nothing has arrived for the
    // guard time (a byte that comes starts a further character timeout, but the wait never lasts
    // beyond twice the guard time from the failure) and drops what came (appended to `dropped`
    // when given). Nothing to do on a settled line. Applies the timeouts record again afterwards.
    void Settle(std::vector<uint8_t>* dropped = nullptr);

    uint8_t Exchange(CFrameExchange& exchange, uint32_t sendTrials,
                     const ExchangeWatch& watch) override;
    uint8_t SendFrame(CFrameExchange& exchange, bool retry, const ExchangeWatch& watch) override;
    uint8_t ReceiveFrame(CFrameExchange& exchange, bool resend,
                         const ExchangeWatch& watch) override;

    // The loopback test of a line whose RxD is wired to its TxD: drops what has arrived, writes
    // a test text and reads it back under the character timeout. It asks nothing: whoever runs it
    // asks the user before and tells the result after, without holding the line meanwhile.
    LoopbackResult RunLoopback();

    uint8_t GetLastDestination() const { return lastDestination_; }
    void SetLastDestination(uint8_t destination) { lastDestination_ = destination; }

    // The current timeouts record (as last applied or about to be applied).
    const CommTimeouts& GetTimeouts() const { return timeouts_; }

    // The line settings record as last written (parity and RTS change per frame).
    const LineSettings& GetLineSettings() const { return lineSettings_; }
    // The open device, or null; for tests and diagnostics.
    SerialDevice* Device() const { return device_.get(); }

  private:
    template <typename Opener>
    uint8_t OpenWith(uint32_t baud, const std::string& devicePath, uint8_t busControl,
                     uint32_t characterTimeout, uint32_t receiveTrials, Opener&& opener);
    bool ApplyTimeouts();
    // Keeps the device's reason when `succeeded` is false; returns `succeeded`. A reason that
    // says the device is gone closes it.
    bool Checked(bool succeeded);
    void LoseDevice();
    // Before an exchange: opens a lost device again; its result code (0 when nothing was lost).
    uint8_t FindLostDevice();

    std::unique_ptr<SerialDevice> device_;
    std::string devicePath_;
    uint8_t busControl_ = RTS_CONTROL;
    LineSettings lineSettings_;
    uint32_t characterTimeout_ = 0;
    uint32_t receiveTrials_ = 0;
    CommTimeouts timeouts_;
    bool opened_ = false;
    bool rtsRaised_ = false;
    bool handleValid_ = false;
    bool reopenable_ = false;  // opened by path
    bool deviceLost_ = false;
    uint32_t baud_ = 0;
    uint8_t lastDestination_ = 0;
    SystemError lastSystemError_;
    std::string openWarning_;
    bool unsettled_ = false;
    uint64_t unsettledSince_ = 0;  // MonotonicNanoseconds()
    uint32_t guardMs_ = 0;
    CancelSignal cancel_;
};

}  // namespace kelcmd
