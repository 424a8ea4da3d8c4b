#pragma once

#include <cstdint>

#include "kelcmd/kebpacket.h"
#include "transport/frame.h"

namespace kelcmd {

// What one exchange on the line reads and writes: the request frame, the answer frame with their
// lengths, CRCs and flags, the wait for the answer's first byte, and how often the answer was
// received. Commands own one and forward their frame getters to it; the raw packet exports use
// one directly.
struct CFrameExchange {
    FrameBuffer message{};
    bool messageBuilt = false;
    uint16_t messageLength = 0;
    uint16_t messageCrc = 0;

    FrameBuffer answer{};
    bool answerReceived = false;
    uint16_t answerLength = 0;
    uint16_t answerCrc = 0;

    uint32_t answerTimeout = 100;  // ms for the first answer byte, 0 = without limit
    uint32_t trials = 1;           // receptions of the answer, 1 unless a resend was asked

    uint8_t Destination() const { return message[0]; }
    uint8_t RequestType() const { return message[4]; }
    uint8_t AnswerType() const { return answer[4]; }

    // The builders put dest, mtype and `dataLength` data bytes into the message and then call
    // this: send byte 0, length word with its check, CRC; message built, answer cleared. A data
    // length above 1023 does not fit a frame: false, nothing changed.
    bool BuildFrame(uint16_t dataLength);

    // Builds the message from a raw packet; false, touching nothing, for a data length above 1023.
    bool SetRawMessage(const KebPacket& packet);
    void GetRawAnswer(KebPacket& packet) const;

    // Empty buffers, nothing built or received; the timeout and trials stay.
    void Clear();
};

}  // namespace kelcmd
