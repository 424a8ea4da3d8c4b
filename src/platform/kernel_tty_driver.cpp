// This unit sees the kernel's line records, not the C library's; it must not include <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <linux/termios.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/tty_driver.h"

namespace kelcmd {
namespace {

static_assert(sizeof(termios2::c_cc) >= sizeof(TtyAttributes::cc), "line record layout");
static_assert(BOTHER == kTtyBother && CBAUD == kTtySpeedBits && IBSHIFT == kTtyInputSpeedShift);
static_assert(TIOCM_DTR == kTtyLineDtr && TIOCM_RTS == kTtyLineRts);
static_assert(ADDRB == kTtyAddressBit);

// Unix98 pseudo-terminal slaves, and the old BSD ones.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;
constexpr unsigned kBsdPtySlaveMajor = 3;

class KernelTtyDriver final : public TtyDriver {
  public:
    ~KernelTtyDriver() override {
        if (fd_ >= 0) ::close(fd_);
    }

    int Open(const std::string& path) override {
        if (fd_ >= 0) Close();
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        return fd_ >= 0 ? 0 : errno;
    }

    int Close() override {
        if (fd_ < 0) return EBADF;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

    bool IsOpen() const override { return fd_ >= 0; }
    int Descriptor() const override { return fd_; }

    int Lock() override { return Result(::flock(fd_, LOCK_EX | LOCK_NB)); }

    int SetExclusive(bool exclusive) override {
        return Ioctl(exclusive ? TIOCEXCL : TIOCNXCL, nullptr);
    }

    int GetExclusive(bool& exclusive) override {
        int value = 0;
        const int failed = Ioctl(TIOCGEXCL, &value);
        if (failed == 0) exclusive = value != 0;
        return failed;
    }

    int GetAttributes(TtyAttributes& attributes) override {
        termios2 record{};
        if (const int failed = Ioctl(TCGETS2, &record)) return failed;
        attributes.iflag = record.c_iflag;
        attributes.oflag = record.c_oflag;
        attributes.cflag = record.c_cflag;
        attributes.lflag = record.c_lflag;
        attributes.line = record.c_line;
        std::copy_n(record.c_cc, attributes.cc.size(), attributes.cc.begin());
        attributes.ispeed = record.c_ispeed;
        attributes.ospeed = record.c_ospeed;
        return 0;
    }

    int SetAttributes(const TtyAttributes& attributes) override {
        termios2 record{};
        record.c_iflag = attributes.iflag;
        record.c_oflag = attributes.oflag;
        record.c_cflag = attributes.cflag;
        record.c_lflag = attributes.lflag;
        record.c_line = attributes.line;
        std::copy_n(attributes.cc.begin(), attributes.cc.size(), record.c_cc);
        record.c_ispeed = attributes.ispeed;
        record.c_ospeed = attributes.ospeed;
        return Ioctl(TCSETS2, &record);
    }

    int GetModemLines(int& lines) override { return Ioctl(TIOCMGET, &lines); }

    int ChangeModemLines(bool raise, int lines) override {
        return Ioctl(raise ? TIOCMBIS : TIOCMBIC, &lines);
    }

    int GetRs485(TtyRs485& rs485) override {
        serial_rs485 record{};
        if (const int failed = Ioctl(TIOCGRS485, &record)) return failed;
        rs485.enabled = (record.flags & SER_RS485_ENABLED) != 0;
        rs485.rtsOnSend = (record.flags & SER_RS485_RTS_ON_SEND) != 0;
        rs485.rtsAfterSend = (record.flags & SER_RS485_RTS_AFTER_SEND) != 0;
        rs485.delayBeforeSendMs = record.delay_rts_before_send;
        rs485.delayAfterSendMs = record.delay_rts_after_send;
        rs485.addressBit = (record.flags & SER_RS485_ADDRB) != 0;
        rs485.destination.reset();
        if (rs485.addressBit && (record.flags & SER_RS485_ADDR_DEST)) {
            rs485.destination = record.addr_dest;
        }
        return 0;
    }

    int SetRs485(const TtyRs485& rs485) override {
        // Whatever else the port has set (termination, receive during send) stays.
        serial_rs485 record{};
        if (const int failed = Ioctl(TIOCGRS485, &record)) return failed;
        // A receive address filter is never kept: the host hears every unit.
        constexpr uint32_t kOurs = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND |
                                   SER_RS485_RTS_AFTER_SEND | SER_RS485_ADDRB |
                                   SER_RS485_ADDR_RECV | SER_RS485_ADDR_DEST;
        record.flags &= ~kOurs;
        if (rs485.enabled) record.flags |= SER_RS485_ENABLED;
        if (rs485.rtsOnSend) record.flags |= SER_RS485_RTS_ON_SEND;
        if (rs485.rtsAfterSend) record.flags |= SER_RS485_RTS_AFTER_SEND;
        if (rs485.addressBit) record.flags |= SER_RS485_ADDRB;
        if (rs485.addressBit && rs485.destination) {
            record.flags |= SER_RS485_ADDR_DEST;
            record.addr_dest = *rs485.destination;
        }
        record.delay_rts_before_send = rs485.delayBeforeSendMs;
        record.delay_rts_after_send = rs485.delayAfterSendMs;
        return Ioctl(TIOCSRS485, &record);
    }

    int GetTransmitterEmpty(bool& empty) override {
        unsigned int status = 0;
        if (const int failed = Ioctl(TIOCSERGETLSR, &status)) return failed;
        empty = (status & TIOCSER_TEMT) != 0;
        return 0;
    }

    int GetCounters(TtyCounters& counters) override {
        serial_icounter_struct record{};
        if (const int failed = Ioctl(TIOCGICOUNT, &record)) return failed;
        counters.framing = static_cast<uint32_t>(record.frame);
        counters.parity = static_cast<uint32_t>(record.parity);
        counters.overruns = static_cast<uint32_t>(record.overrun + record.buf_overrun);
        counters.breaks = static_cast<uint32_t>(record.brk);
        return 0;
    }

    int GetLowLatency(bool& lowLatency) override {
        serial_struct record{};
        if (const int failed = Ioctl(TIOCGSERIAL, &record)) return failed;
        lowLatency = (record.flags & ASYNC_LOW_LATENCY) != 0;
        return 0;
    }

    int SetLowLatency(bool lowLatency) override {
        serial_struct record{};
        if (const int failed = Ioctl(TIOCGSERIAL, &record)) return failed;
        if (lowLatency) {
            record.flags |= ASYNC_LOW_LATENCY;
        } else {
            record.flags &= ~ASYNC_LOW_LATENCY;
        }
        return Ioctl(TIOCSSERIAL, &record);
    }

    int GetLatencyTimer(uint32_t& milliseconds) override {
        std::ifstream file(DeviceFolder() + "/latency_timer");
        if (!file) return ENOENT;
        if (!(file >> milliseconds)) return EIO;
        return 0;
    }

    int SetLatencyTimer(uint32_t milliseconds) override {
        const std::string path = DeviceFolder() + "/latency_timer";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return errno;
        const std::string text = std::to_string(milliseconds) + "\n";
        const ssize_t written = ::write(fd, text.data(), text.size());
        const int number = errno;
        ::close(fd);
        return written == static_cast<ssize_t>(text.size()) ? 0 : (written < 0 ? number : EIO);
    }

    int Write(const uint8_t* data, size_t count, size_t& written) override {
        written = 0;
        const ssize_t result = ::write(fd_, data, count);
        if (result < 0) return errno;
        written = static_cast<size_t>(result);
        return 0;
    }

    int Read(uint8_t* buffer, size_t count, size_t& received) override {
        received = 0;
        const ssize_t result = ::read(fd_, buffer, count);
        if (result < 0) return errno;
        received = static_cast<size_t>(result);
        return 0;
    }

    int Poll(short events, int timeoutMs, short& revents) override {
        pollfd descriptors[2] = {{fd_, events, 0}, {cancelFd_, POLLIN, 0}};
        revents = 0;
        const int result = ::poll(descriptors, cancelFd_ >= 0 ? 2 : 1, timeoutMs);
        if (result < 0) return errno;
        if (cancelFd_ >= 0 && (descriptors[1].revents & POLLIN)) return ECANCELED;
        if (result > 0) revents = descriptors[0].revents;
        return 0;
    }

    void SetCancelDescriptor(int descriptor) override { cancelFd_ = descriptor; }

    int Drain() override { return Ioctl(TCSBRK, reinterpret_cast<void*>(1)); }

    int Flush() override { return Ioctl(TCFLSH, reinterpret_cast<void*>(TCIOFLUSH)); }

    bool IsPseudoTerminal() override {
        struct stat status {};
        if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
        const unsigned number = major(status.st_rdev);
        return (number >= kPtySlaveMajorFirst && number <= kPtySlaveMajorLast) ||
               number == kBsdPtySlaveMajor;
    }

    std::string DriverName() override {
        char target[512] = {};
        const std::string link = DeviceFolder() + "/driver";
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        if (length <= 0) return {};
        const std::string path(target, static_cast<size_t>(length));
        return path.substr(path.rfind('/') + 1);
    }

  private:
    int Result(int result) const { return result == 0 ? 0 : errno; }

    int Ioctl(unsigned long request, void* argument) {
        if (fd_ < 0) return EBADF;
        return Result(static_cast<int>(::syscall(SYS_ioctl, fd_, request, argument)));
    }

    // The device behind the tty in sysfs ("/sys/dev/char/188:0/device"); empty when unknown.
    std::string DeviceFolder() const {
        struct stat status {};
        if (fd_ < 0 || ::fstat(fd_, &status) != 0) return "/nonexistent";
        return "/sys/dev/char/" + std::to_string(major(status.st_rdev)) + ":" +
               std::to_string(minor(status.st_rdev)) + "/device";
    }

    int fd_ = -1;
    int cancelFd_ = -1;  // not owned
};

}  // namespace

std::unique_ptr<TtyDriver> MakeKernelTtyDriver() {
    return std::make_unique<KernelTtyDriver>();
}

}  // namespace kelcmd
