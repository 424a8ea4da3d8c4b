#pragma once

#include <memory>
#include <string>

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
    CKelPort* Port() const { return Communication().FindPort(name); }
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

}  // namespace kelcmd::testing
