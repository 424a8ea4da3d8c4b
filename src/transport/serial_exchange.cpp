// The serial line as an exchange line: the packet protocol run on the line itself.
#include "transport/packet_protocol.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd {

uint8_t CSerialLine::Exchange(CFrameExchange& exchange, uint32_t sendTrials,
                              const ExchangeWatch& watch) {
    if (const uint8_t found = FindLostDevice(); found != RESULT_OK) return found;
    return Transfer(*this, sendTrials, exchange, watch);
}

uint8_t CSerialLine::SendFrame(CFrameExchange& exchange, bool retry, const ExchangeWatch& watch) {
    if (const uint8_t found = FindLostDevice(); found != RESULT_OK) return found;
    return retry ? TransmitWithRetry(*this, exchange, watch) : Transmit(*this, exchange, watch);
}

uint8_t CSerialLine::ReceiveFrame(CFrameExchange& exchange, bool resend,
                                  const ExchangeWatch& watch) {
    if (const uint8_t found = FindLostDevice(); found != RESULT_OK) return found;
    return resend ? ReceiveWithResend(*this, exchange, watch) : Receive(*this, exchange, watch);
}

}  // namespace kelcmd
