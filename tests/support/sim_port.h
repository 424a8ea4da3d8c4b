#pragma once

#include <memory>
#include <string>
#include <vector>

#include "api/communication.h"
#include "kelcmd/kelcmd.h"
#include "sim/bus_registry.h"
#include "sim/sim_bus.h"
#include "sim/sim_unit.h"
#include "support/sim_line.h"
#include "transport/kel_communication.h"

namespace kelcmd::testing {

// A port of the process's manager mapped to a fresh simulated bus, opened through KEB_InitKelBus,
// closed and forgotten at the end of the test. Every test uses its own port number so that tests
// never share ports or units.
struct SimPort {
    explicit SimPort(int number, const std::string& addresses = "1", uint32_t timeout = 50) {
        name = "Com" + std::to_string(number);
        busName = UniqueBusName("port");
        KEB_MapPort(name.c_str(), ("sim:" + addresses + ",bus=" + busName).c_str());
        openResult = KEB_InitKelBus(19200, name.c_str(), KEB_RTS_CONTROL, timeout, 4);
        bus = sim::FindBus(busName);
    }
    ~SimPort() {
        KEB_CloseKelBusPort(name.c_str());
        KEB_MapPort(name.c_str(), "");
        sim::RemoveBus(busName);
    }
    std::shared_ptr<CKelPort> Port() const { return Communication().FindPort(name); }
    sim::SimUnit& Unit(uint8_t address) { return *bus->Unit(address); }
    size_t FramesWritten() const {
        size_t frames = 0;
        for (const sim::WireByte& byte : bus->WireLog()) frames += byte.ninthBit ? 1 : 0;
        return frames;
    }

    std::string name;
    std::string busName;
    uint8_t openResult = 255;
    std::shared_ptr<sim::SimBus> bus;
};

// A request frame the host wrote, taken apart: dest, mtype and data.
struct WireRequest {
    uint8_t dest = 0;
    uint8_t mtype = 0;
    std::vector<uint8_t> data;
    bool operator==(const WireRequest&) const = default;
};

// Every request frame in the port's wire log, split at the address bytes (ninth bit set).
inline std::vector<WireRequest> WireRequests(const SimPort& port) {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit) frames.emplace_back();
        if (!frames.empty()) frames.back().push_back(byte.value);
    }
    std::vector<WireRequest> requests;
    for (const std::vector<uint8_t>& frame : frames) {
        if (frame.size() < kHeaderSize + 2) continue;  // dest, length word, send, mtype, CRC
        requests.push_back({frame[0], frame[4], {frame.begin() + kHeaderSize, frame.end() - 2}});
    }
    return requests;
}

}  // namespace kelcmd::testing
