#pragma once

#include <cstdint>
#include <functional>

#include "transport/bus_event_log.h"

namespace kelcmd {

struct CFrameExchange;

// Told of every answer frame as it is received (also a damaged one), before it is judged: the
// port shows it to its observers.
using ReceptionListener = std::function<void()>;

// Who watches an exchange while it runs: the port's packet observers, told at each reception, and
// the log of its wire events (null: nobody taps the bus).
struct ExchangeWatch {
    ReceptionListener reception;
    BusEventLog* events = nullptr;
};

// What a port executes its exchanges through. A line takes the request frame and the answer
// timeout in the exchange, and gives back the answer in it; the acknowledge, the answer, resend
// requests and timeouts, each with the time it happened, go to the watch's event log. The serial
// line (ninth bit, RTS, gaps, resend) is one such line; a bus reached over the network is another.
// The port's lock serialises the calls. Every function returns a communication result code.
class ExchangeLine {
  public:
    virtual ~ExchangeLine() = default;

    virtual bool IsOpen() const = 0;
    // A whole exchange with up to `sendTrials` transmissions of the request.
    virtual uint8_t Exchange(CFrameExchange& exchange, uint32_t sendTrials,
                             const ExchangeWatch& watch) = 0;
    // The raw packet layer: one transmission (with `retry`, until acknowledged), or one reception
    // (with `resend`, asking for damaged answers again).
    virtual uint8_t SendFrame(CFrameExchange& exchange, bool retry, const ExchangeWatch& watch) = 0;
    virtual uint8_t ReceiveFrame(CFrameExchange& exchange, bool resend,
                                 const ExchangeWatch& watch) = 0;
};

}  // namespace kelcmd
