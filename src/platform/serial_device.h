#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/system_error.h"

namespace kelcmd {

// Parity values of the line settings; mark and space carry the ninth bit of the bus.
enum class Parity : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

// The line settings a serial line writes at open and changes per frame (parity, RTS).
struct LineSettings {
    uint32_t baud = 0;
    uint8_t dataBits = 8;
    Parity parity = Parity::Space;
    uint8_t stopBits = 1;
    bool rtsEnabled = false;  // RTS output high while set
};

// Read and write timeouts in milliseconds. A read of n bytes returns when n bytes have arrived,
// when more than `readInterval` passes between two bytes (counted after the first byte; 0 = no
// interval limit), or when the read has lasted readTotalMultiplier * n + readTotalConstant (both 0
// = no total limit). 4294967295 as the constant means no limit either.
struct CommTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;
};

constexpr uint32_t kWaitWithoutLimit = 4294967295u;

// One open serial device: a tty through termios, or a device of a registered kind such as the
// simulated bus. Every operation reports success as a flag; CSerialLine turns failures into
// result codes. A device also records the operating system's reason of each failure, in
// LastSystemError and for the calling thread (ThreadSystemError), where a failed open leaves its
// reason too.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    virtual bool SetupQueues(uint32_t inputSize, uint32_t outputSize) = 0;
    virtual bool GetLineSettings(LineSettings& settings) = 0;
    virtual bool SetLineSettings(const LineSettings& settings) = 0;
    virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
    virtual bool SetTransmitterEmptyMask() = 0;
    virtual bool WaitTransmitterEmpty() = 0;
    virtual bool Purge() = 0;
    virtual bool SetRts(bool raised) = 0;
    // Writes with the parity of the current line settings. `written` receives the bytes moved.
    virtual bool Write(const uint8_t* data, size_t count, size_t& written) = 0;
    // Reads under the current timeouts; a timeout is not a failure, `received` is then below count.
    virtual bool Read(uint8_t* buffer, size_t count, size_t& received) = 0;
    virtual bool Close() = 0;
    // The reason of this device's last failed operation; none from a device without one.
    virtual SystemError LastSystemError() const { return {}; }
};

// Opens one device of a kind from its whole device text; null when it cannot be opened.
using DeviceFactory = std::function<std::unique_ptr<SerialDevice>(const std::string& device)>;

// Makes a kind of device other than a tty openable: device texts equal to `prefix` or starting
// with `prefix` followed by ':' ("sim", "sim:1-3,bus=a") are opened by `factory`. The layers
// above install their kinds here, so that this layer needs to know none of them. An empty or
// ':'-bearing prefix, a null factory, or a prefix already taken is refused (false). Thread-safe.
bool RegisterDeviceKind(const std::string& prefix, DeviceFactory factory);

// Takes a kind out again once no open of it is running (see platform/hook.h); devices opened
// before stay open. False when the kind was not registered.
bool UnregisterDeviceKind(const std::string& prefix);

// Opens the device behind a resolved device path: a registered kind when one fits, anything else
// a tty through termios. Returns null when it cannot be opened (missing, in use, malformed);
// the reason is then in ThreadSystemError.
std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& devicePath);

}  // namespace kelcmd
