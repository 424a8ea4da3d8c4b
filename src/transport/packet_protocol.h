#pragma once

#include <cstdint>

#include "transport/exchange_line.h"

namespace kelcmd {

class CSerialLine;
struct CFrameExchange;

// The exchange of one frame on a line: the request with its ninth-bit address byte, the
// acknowledge, and the answer. Every function returns a communication result code (0 = success).
// The watch hears of each reception and logs each thing on the wire.

// Sends the command's message frame and, where the destination acknowledges, reads the acknowledge.
uint8_t Transmit(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch = {});

// Reads one answer frame into the exchange's answer buffer; the first byte may take the exchange's
// answer timeout (0 = without limit), every further byte the line's character timeout.
uint8_t Receive(CSerialLine& line, CFrameExchange& exchange, const ExchangeWatch& watch = {});

// Receive, and while an answer arrives damaged ask the unit to send it again (up to the line's
// receive trials in all). A unit that did not answer at all is not asked.
uint8_t ReceiveWithResend(CSerialLine& line, CFrameExchange& exchange,
                          const ExchangeWatch& watch = {});

// Transmits until the frame is acknowledged, at most the line's receive trials times.
uint8_t TransmitWithRetry(CSerialLine& line, CFrameExchange& exchange,
                          const ExchangeWatch& watch = {});

// One full exchange with up to `sendTrials` transmissions. The caller holds the port's lock.
uint8_t Transfer(CSerialLine& line, uint32_t sendTrials, CFrameExchange& exchange,
                 const ExchangeWatch& watch = {});

// Whether `value` is one of the positive acknowledge bytes.
bool IsPositiveAcknowledge(uint8_t value);

}  // namespace kelcmd
