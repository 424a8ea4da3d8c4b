#pragma once

#include <cstdint>

namespace kelcmd {

class CKelCommand;
class CSerialLine;

// The exchange of one frame on a line: the request with its ninth-bit address byte, the
// acknowledge, and the answer. Every function returns a communication result code (0 = success).

// Sends the command's message frame and, where the destination acknowledges, reads the acknowledge.
uint8_t Transmit(CSerialLine& line, CKelCommand* command);

// Reads one answer frame into the command's answer buffer; the first byte may take the command's
// answer timeout (0 = without limit), every further byte the line's character timeout.
uint8_t Receive(CSerialLine& line, CKelCommand* command);

// Receive, and while an answer arrives damaged ask the unit to send it again (up to the line's
// receive trials in all). A unit that did not answer at all is not asked.
uint8_t ReceiveWithResend(CSerialLine& line, CKelCommand* command);

// Transmits until the frame is acknowledged, at most the line's receive trials times.
uint8_t TransmitWithRetry(CSerialLine& line, CKelCommand* command);

// One full exchange with up to `sendTrials` transmissions. The caller holds the port's lock.
uint8_t Transfer(CSerialLine& line, uint32_t sendTrials, CKelCommand* command);

// Whether `value` is one of the positive acknowledge bytes.
bool IsPositiveAcknowledge(uint8_t value);

}  // namespace kelcmd
