#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "command/kel_command.h"
#include "sim/bus_registry.h"
#include "sim/sim_bus.h"
#include "sim/sim_unit.h"
#include "transport/serial_line.h"

namespace kelcmd::testing {

// A unique bus name per test so that tests never share units.
inline std::string UniqueBusName(const std::string& prefix) {
    static std::atomic<int> next{0};
    return prefix + std::to_string(next++);
}

// A serial line opened on a fresh simulated bus with units at `addresses` (e.g. "1-3").
struct SimLine {
    explicit SimLine(const std::string& addresses = "1", uint32_t characterTimeout = 50,
                     uint32_t receiveTrials = 4, uint8_t busControl = RTS_CONTROL) {
        busName = UniqueBusName("line");
        device = "sim:" + addresses + ",bus=" + busName;
        openResult = line.Open(19200, device, busControl, characterTimeout, receiveTrials);
        bus = sim::FindBus(busName);
    }
    ~SimLine() {
        line.Close();
        sim::RemoveBus(busName);
    }
    sim::SimUnit& Unit(uint8_t address) { return *bus->Unit(address); }

    // The frames the host wrote, split at every byte with the ninth bit.
    std::vector<std::vector<uint8_t>> Frames() const {
        std::vector<std::vector<uint8_t>> frames;
        for (const sim::WireByte& byte : bus->WireLog()) {
            if (byte.ninthBit || frames.empty()) frames.emplace_back();
            frames.back().push_back(byte.value);
        }
        return frames;
    }

    std::string busName;
    std::string device;
    CSerialLine line;
    uint8_t openResult = 255;
    std::shared_ptr<sim::SimBus> bus;
};

// A command whose message carries `data` to `dest` with `mtype`, built as the builders do.
inline std::unique_ptr<CKelCommand> MakeRequest(uint8_t dest, uint8_t mtype,
                                                const std::vector<uint8_t>& data = {},
                                                uint32_t answerTimeout = 200) {
    auto command = std::make_unique<CKelCommand>();
    command->SetCommand("Test", mtype, 0, 0);
    command->SetAnswerTimeout(answerTimeout);
    command->Exchange().answerTimeout = answerTimeout;  // as the execution hands it to the line
    FrameBuffer& message = command->GetMessageBuffer();
    message[0] = dest;
    message[4] = mtype;
    for (size_t i = 0; i < data.size(); ++i) message[kDataOffset + i] = data[i];
    command->BuildFrame(static_cast<uint16_t>(data.size()));
    return command;
}

}  // namespace kelcmd::testing
