#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "api/current_target.h"
#include "command/kel_command.h"
#include "sim/sim_answer.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

// One request frame the host wrote, taken apart.
struct Request {
    uint8_t dest = 0;
    uint8_t mtype = 0;
    std::vector<uint8_t> data;
};

// The requests in the port's wire log, split at each byte with the ninth bit:
// dest, length word, sender, mtype, data, CRC.
inline std::vector<Request> Requests(const SimPort& port) {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit || frames.empty()) frames.emplace_back();
        frames.back().push_back(byte.value);
    }
    std::vector<Request> requests;
    for (const std::vector<uint8_t>& frame : frames) {
        if (frame.size() < kHeaderSize + 2) continue;
        requests.push_back({frame[0], frame[4], {frame.begin() + kHeaderSize, frame.end() - 2}});
    }
    return requests;
}

// Every code in [first, last] answered positively with `data` by the unit.
inline void AnswerCodes(sim::SimUnit& unit, uint8_t first, uint8_t last,
                        const std::vector<uint8_t>& data) {
    for (int code = first; code <= last; ++code) {
        unit.SetHandler(static_cast<uint8_t>(code), [code, data](sim::SimUnit&, auto) {
            return sim::PositiveAnswer(static_cast<uint8_t>(code), data);
        });
    }
}

// Which form of an export a table row calls: the MP_ form with an explicit port and slave, or the
// plain form on the current ones.
struct Target {
    bool multiPort;
    const char* port;
    uint8_t slave;
};

// Makes `port` and `slave` current for the plain forms, and restores the start values afterwards.
class CurrentTarget {
  public:
    CurrentTarget(const std::string& port, uint8_t slave) {
        SetCurrentPortName(port);
        SetCurrentSlave(slave);
    }
    ~CurrentTarget() {
        SetCurrentPortName("Com1");
        SetCurrentSlave(1);
    }
};

}  // namespace kelcmd::testing
