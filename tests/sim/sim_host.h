#pragma once

// The host's end of a simulated bus for tests: frames go out as the packet protocol sends them (the
// destination alone with mark parity, the rest with space parity), replies are read back raw.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "sim/bus_registry.h"
#include "sim/sim_device.h"
#include "sim/unit_setup.h"
#include "transport/frame.h"

namespace kelcmd::sim::testing {

using Bytes = std::vector<uint8_t>;
using SteadyClock = std::chrono::steady_clock;

inline Bytes WithCrc(Bytes frame) {
    const uint16_t crc = FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    return frame;
}

// A request frame: dest, length word, send 0, mtype, data, CRC.
inline Bytes Request(uint8_t dest, uint8_t mtype, const Bytes& data = {}) {
    const uint16_t word = LengthWord(static_cast<uint16_t>(data.size()));
    Bytes frame{dest, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF), 0, mtype};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithCrc(frame);
}

// An answer frame as a unit must send it, written out for comparison.
inline Bytes Answer(uint8_t sender, uint8_t mtype, const Bytes& data = {}) {
    const uint16_t word = LengthWord(static_cast<uint16_t>(data.size()));
    Bytes frame{0, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF), sender,
                mtype};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithCrc(frame);
}

inline Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

inline CommTimeouts TotalTimeout(uint32_t ms, uint32_t interval = 0, uint32_t multiplier = 0) {
    CommTimeouts timeouts;
    timeouts.readInterval = interval;
    timeouts.readTotalMultiplier = multiplier;
    timeouts.readTotalConstant = ms;
    return timeouts;
}

class SimHost {
  public:
    explicit SimHost(const std::string& deviceText, uint32_t baud = 19200) {
        bus = BusForDevice(deviceText);
        device = OpenSimulatedDevice(deviceText);
        if (!bus || !device) {
            ADD_FAILURE() << "cannot open " << deviceText;
            return;
        }
        settings.baud = baud;
        device->SetLineSettings(settings);
    }

    bool SetParity(Parity parity) {
        settings.parity = parity;
        return device->SetLineSettings(settings);
    }

    void WriteRaw(const Bytes& bytes, Parity parity) {
        SetParity(parity);
        size_t written = 0;
        ASSERT_TRUE(device->Write(bytes.data(), bytes.size(), written));
        ASSERT_EQ(written, bytes.size());
    }

    // The destination alone with the ninth bit, then the rest without it.
    void Send(const Bytes& frame) {
        WriteRaw({frame.front()}, Parity::Mark);
        WriteRaw(Bytes(frame.begin() + 1, frame.end()), Parity::Space);
    }

    Bytes Read(size_t count, const CommTimeouts& timeouts = TotalTimeout(2000)) {
        Bytes buffer(count);
        size_t received = 0;
        device->SetTimeouts(timeouts);
        EXPECT_TRUE(device->Read(buffer.data(), buffer.size(), received));
        buffer.resize(received);
        return buffer;
    }

    // Everything the units have sent so far (without pacing or delays it has all arrived).
    Bytes ReadPending() { return Read(bus->PendingInput()); }

    Bytes Exchange(const Bytes& frame) {
        Send(frame);
        return ReadPending();
    }

    std::shared_ptr<SimBus> bus;
    std::unique_ptr<SerialDevice> device;
    LineSettings settings;
};

// Every test starts with no buses and leaves none behind.
class SimBusTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveAllBuses(); }
    void TearDown() override { RemoveAllBuses(); }
};

}  // namespace kelcmd::sim::testing
