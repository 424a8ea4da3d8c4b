#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "transport/bus_event.h"

namespace kelcmd {

// The wire events of one exchange as the line makes them. The line fills the log while its port's
// lock is held; the port hands the events to the bus tap once the lock is released, so no tap
// subscriber ever runs under a port's lock. A log made without a port name is inactive and
// records nothing: nobody taps the bus, and the exchange costs nothing more.
class BusEventLog {
  public:
    BusEventLog() = default;
    explicit BusEventLog(std::string port);

    bool Active() const { return active_; }
    // The exchange starts now (its first transmission or reception); later calls change nothing.
    void Begin();
    void Record(BusEventKind kind, BusDirection direction, std::span<const uint8_t> bytes,
                uint8_t result);
    // An event that happened on another machine's line (a remote port's bridge), `elapsedNs`
    // after that exchange began; it is placed as far after this exchange's start.
    void Replay(BusEvent event);
    // Closes the exchange with its result: `verdict` carries the result code and the unit's
    // judgement; kind, times, port and exchange number are filled in here.
    void Finish(BusEvent verdict);
    std::vector<BusEvent> TakeEvents();

  private:
    // Stamps the event with its time, exchange and port, and keeps it.
    void Append(BusEvent event);

    bool active_ = false;
    std::string port_;
    uint64_t exchange_ = 0;
    uint64_t startNs_ = 0;
    std::vector<BusEvent> events_;
};

}  // namespace kelcmd
