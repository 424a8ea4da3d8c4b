#include "sim/sim_device.h"

#include <errno.h>

#include <mutex>

#include "sim/bus_registry.h"

namespace kelcmd::sim {
namespace {

// The host's end of a simulated bus, as a serial device. Mark parity sets the ninth bit of the
// bytes written; every other parity leaves it clear. Its only failures are calls on the closed
// device (EBADF) and null buffers (EFAULT).
class SimDevice final : public SerialDevice {
  public:
    SimDevice(std::shared_ptr<SimBus> bus, std::string device)
        : bus_(std::move(bus)), device_(std::move(device)) {}
    ~SimDevice() override {
        std::lock_guard lock(mutex_);
        if (open_) CloseLocked();
    }

    bool SetupQueues(uint32_t, uint32_t) override {
        return IsOpen() || Fail("set up queues", EBADF);
    }

    bool GetLineSettings(LineSettings& settings) override {
        std::lock_guard lock(mutex_);
        if (!open_) return Fail("get line settings", EBADF);
        settings = settings_;
        return true;
    }

    bool SetLineSettings(const LineSettings& settings) override {
        std::lock_guard lock(mutex_);
        if (!open_) return Fail("set line settings", EBADF);
        settings_ = settings;
        bus_->SetBaud(settings.baud);
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard lock(mutex_);
        if (!open_) return Fail("set timeouts", EBADF);
        timeouts_ = timeouts;
        return true;
    }

    bool SetTransmitterEmptyMask() override { return IsOpen() || Fail("set event mask", EBADF); }

    bool WaitTransmitterEmpty() override {
        if (!IsOpen()) return Fail("drain", EBADF);
        bus_->WaitTransmitterEmpty();
        return true;
    }

    bool Purge() override {
        if (!IsOpen()) return Fail("purge", EBADF);
        bus_->PurgeInput();
        return true;
    }

    bool SetRts(bool raised) override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        settings_.rtsEnabled = raised;
        return true;
    }

    bool Write(const uint8_t* data, size_t count, size_t& written) override {
        written = 0;
        bool ninthBit = false;
        {
            std::lock_guard lock(mutex_);
            if (!open_) return Fail("write", EBADF);
            if (data == nullptr && count > 0) return Fail("write", EFAULT);
            ninthBit = settings_.parity == Parity::Mark;
        }
        if (count > 0) bus_->HostWrite(std::span(data, count), ninthBit);
        written = count;
        return true;
    }

    bool Read(uint8_t* buffer, size_t count, size_t& received) override {
        received = 0;
        CommTimeouts timeouts;
        {
            std::lock_guard lock(mutex_);
            if (!open_) return Fail("read", EBADF);
            if (buffer == nullptr && count > 0) return Fail("read", EFAULT);
            timeouts = timeouts_;
        }
        if (count > 0) received = bus_->HostRead(std::span(buffer, count), timeouts);
        return true;
    }

    bool Close() override {
        std::lock_guard lock(mutex_);
        if (!open_) return Fail("close", EBADF);
        CloseLocked();
        return true;
    }

    SystemError LastSystemError() const override {
        std::lock_guard lock(errorMutex_);
        return lastError_;
    }

  private:
    void CloseLocked() {
        open_ = false;
        bus_->Release();
    }

    // Records why `operation` failed, here and for the calling thread; false.
    bool Fail(const char* operation, int number) {
        const SystemError error{number, operation, device_};
        RecordThreadSystemError(error);
        std::lock_guard lock(errorMutex_);
        lastError_ = error;
        return false;
    }

    bool IsOpen() const {
        std::lock_guard lock(mutex_);
        return open_;
    }

    const std::shared_ptr<SimBus> bus_;
    const std::string device_;
    mutable std::mutex mutex_;
    bool open_ = true;
    LineSettings settings_;
    CommTimeouts timeouts_;
    mutable std::mutex errorMutex_;  // taken inside mutex_, never the other way round
    SystemError lastError_;
};

}  // namespace

std::unique_ptr<SerialDevice> OpenSimulatedDevice(const std::string& device) {
    auto bus = BusForDevice(device);
    // A malformed device text names no bus; a bus takes one host at a time.
    if (!bus || !bus->TryOpen()) {
        RecordThreadSystemError({bus ? EBUSY : EINVAL, "open", device});
        return nullptr;
    }
    return std::make_unique<SimDevice>(std::move(bus), device);
}

void RegisterSimulatedDevices() {
    [[maybe_unused]] static const bool registered = RegisterDeviceKind("sim", OpenSimulatedDevice);
}

}  // namespace kelcmd::sim
