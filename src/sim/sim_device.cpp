#include "sim/sim_device.h"

#include <mutex>

#include "sim/bus_registry.h"

namespace kelcmd::sim {
namespace {

// The host's end of a simulated bus, as a serial device. Mark parity sets the ninth bit of the
// bytes written; every other parity leaves it clear.
class SimDevice final : public SerialDevice {
  public:
    explicit SimDevice(std::shared_ptr<SimBus> bus) : bus_(std::move(bus)) {}
    ~SimDevice() override { Close(); }

    bool SetupQueues(uint32_t, uint32_t) override { return IsOpen(); }

    bool GetLineSettings(LineSettings& settings) override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        settings = settings_;
        return true;
    }

    bool SetLineSettings(const LineSettings& settings) override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        settings_ = settings;
        bus_->SetBaud(settings.baud);
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        timeouts_ = timeouts;
        return true;
    }

    bool SetTransmitterEmptyMask() override { return IsOpen(); }

    bool WaitTransmitterEmpty() override {
        if (!IsOpen()) return false;
        bus_->WaitTransmitterEmpty();
        return true;
    }

    bool Purge() override {
        if (!IsOpen()) return false;
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
            if (!open_ || (data == nullptr && count > 0)) return false;
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
            if (!open_ || (buffer == nullptr && count > 0)) return false;
            timeouts = timeouts_;
        }
        if (count > 0) received = bus_->HostRead(std::span(buffer, count), timeouts);
        return true;
    }

    bool Close() override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        open_ = false;
        bus_->Release();
        return true;
    }

  private:
    bool IsOpen() const {
        std::lock_guard lock(mutex_);
        return open_;
    }

    const std::shared_ptr<SimBus> bus_;
    mutable std::mutex mutex_;
    bool open_ = true;
    LineSettings settings_;
    CommTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<SerialDevice> OpenSimulatedDevice(const std::string& device) {
    auto bus = BusForDevice(device);
    if (!bus || !bus->TryOpen()) return nullptr;
    return std::make_unique<SimDevice>(std::move(bus));
}

void RegisterSimulatedDevices() {
    [[maybe_unused]] static const bool registered = RegisterDeviceKind("sim", OpenSimulatedDevice);
}

}  // namespace kelcmd::sim
