#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "api/current_target.h"
#include "command/kel_command.h"
#include "sim/sim_answer.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

using Request = WireRequest;
inline std::vector<Request> Requests(const SimPort& port) {
    return WireRequests(port);
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
