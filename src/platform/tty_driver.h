#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kelcmd {

// A tty's line record as the kernel keeps it (struct termios2): the flag words carry the usual
// termios bits, the speeds are plain rates. With kTtyBother in the speed bits of cflag the rates
// are free; otherwise the speed bits hold a Bxxx constant and the rates repeat it.
struct TtyAttributes {
    uint32_t iflag = 0;
    uint32_t oflag = 0;
    uint32_t cflag = 0;
    uint32_t lflag = 0;
    uint8_t line = 0;
    std::array<uint8_t, 19> cc{};
    uint32_t ispeed = 0;
    uint32_t ospeed = 0;
};

// The kernel's bits that the C library's termios does not name.
constexpr uint32_t kTtySpeedBits = 0x0000100f;   // CBAUD
constexpr uint32_t kTtyBother = 0x00001000;      // free rate in ispeed/ospeed
constexpr uint32_t kTtyAddressBit = 0x20000000;  // ADDRB: the ninth bit as address marker
constexpr uint32_t kTtyInputSpeedShift = 16;     // IBSHIFT

// The kernel's RS485 mode of a serial port (TIOCGRS485/TIOCSRS485).
struct TtyRs485 {
    bool enabled = false;
    bool rtsOnSend = true;      // RTS level while sending
    bool rtsAfterSend = false;  // RTS level after sending
    uint32_t delayBeforeSendMs = 0;
    uint32_t delayAfterSendMs = 0;
    // Nine-bit addressing (SER_RS485_ADDRB; the driver then shows ADDRB in the line record, which
    // cannot be set there by itself): written bytes go out with the ninth bit clear, and received
    // bytes with the ninth bit set (addresses) are dropped by the driver.
    bool addressBit = false;
    // With addressBit: a byte the driver sends with the ninth bit set, once, ahead of whatever is
    // written after the set (SER_RS485_ADDR_DEST with addr_dest).
    std::optional<uint8_t> destination;
};

// The kernel's error counters of a serial port (TIOCGICOUNT).
struct TtyCounters {
    uint32_t framing = 0;
    uint32_t parity = 0;
    uint32_t overruns = 0;  // the UART's and the tty buffer's
    uint32_t breaks = 0;
};

// Modem-line bits as TIOCMGET reports them.
constexpr int kTtyLineDtr = 0x002;
constexpr int kTtyLineRts = 0x004;

// The system calls a serial device makes on its tty, one object per device. Every call returns 0
// on success or the errno of its failure; nothing else is reported. The real driver passes them to
// the kernel; tests put a model of a driver here.
class TtyDriver {
  public:
    virtual ~TtyDriver() = default;

    // open(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK); an open driver is closed first.
    virtual int Open(const std::string& path) = 0;
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;
    // The open descriptor; -1 when closed, and from a model of a driver.
    virtual int Descriptor() const = 0;
    // flock(LOCK_EX | LOCK_NB): EWOULDBLOCK while another opener holds the lock.
    virtual int Lock() = 0;
    // TIOCEXCL / TIOCNXCL.
    virtual int SetExclusive(bool exclusive) = 0;
    // TIOCGEXCL: whether some opener made the tty exclusive; ENOTTY where the kernel cannot tell.
    virtual int GetExclusive(bool& exclusive) = 0;

    virtual int GetAttributes(TtyAttributes& attributes) = 0;
    virtual int SetAttributes(const TtyAttributes& attributes) = 0;

    virtual int GetModemLines(int& lines) = 0;
    // Raises (TIOCMBIS) or clears (TIOCMBIC) the given modem lines.
    virtual int ChangeModemLines(bool raise, int lines) = 0;

    virtual int GetRs485(TtyRs485& rs485) = 0;
    virtual int SetRs485(const TtyRs485& rs485) = 0;
    // TIOCSERGETLSR: whether the last stop bit has left the transmitter (TEMT).
    virtual int GetTransmitterEmpty(bool& empty) = 0;
    virtual int GetCounters(TtyCounters& counters) = 0;
    // ASYNC_LOW_LATENCY through TIOCGSERIAL/TIOCSSERIAL.
    virtual int GetLowLatency(bool& lowLatency) = 0;
    virtual int SetLowLatency(bool lowLatency) = 0;
    // The receive latency of a USB serial adapter in ms (its latency_timer); ENOENT without one.
    virtual int GetLatencyTimer(uint32_t& milliseconds) = 0;
    virtual int SetLatencyTimer(uint32_t milliseconds) = 0;

    // Moves what the kernel takes now; EAGAIN when it takes nothing.
    virtual int Write(const uint8_t* data, size_t count, size_t& written) = 0;
    // Reads what has arrived; EAGAIN when nothing has, `received` 0 on a hang-up.
    virtual int Read(uint8_t* buffer, size_t count, size_t& received) = 0;
    // Waits up to timeoutMs (-1 without limit) for `events`; `revents` is 0 when the time ran out.
    // ECANCELED as soon as the cancel descriptor (if one is set) becomes readable.
    virtual int Poll(short events, int timeoutMs, short& revents) = 0;
    // A descriptor (platform/cancel_signal.h) that ends every Poll while it is readable; -1 for
    // none. A model of a driver may ignore it.
    virtual void SetCancelDescriptor(int descriptor) { (void)descriptor; }
    // tcdrain: returns when the kernel's output buffer is empty.
    virtual int Drain() = 0;
    // tcflush(TCIOFLUSH).
    virtual int Flush() = 0;

    // What the device is, from the kernel's view: a pseudo-terminal, and its driver's name
    // ("ftdi_sio", "serial8250"); empty when unknown.
    virtual bool IsPseudoTerminal() = 0;
    virtual std::string DriverName() = 0;
};

// The driver that passes every call to the kernel.
std::unique_ptr<TtyDriver> MakeKernelTtyDriver();

}  // namespace kelcmd
