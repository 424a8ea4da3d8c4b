#include "transport/frame_exchange.h"

#include <cstring>

namespace kelcmd {

bool CFrameExchange::BuildFrame(uint16_t dataLength) {
    if (dataLength > kMaxDataLength) return false;
    message[3] = 0;
    const uint16_t word = LengthWord(dataLength);
    message[1] = static_cast<uint8_t>(word >> 8);
    message[2] = static_cast<uint8_t>(word);
    messageLength = dataLength;
    messageCrc = FrameCrc(std::span<const uint8_t>(message.data(), kHeaderSize + dataLength));
    message[kCrcOffset] = static_cast<uint8_t>(messageCrc >> 8);
    message[kCrcOffset + 1] = static_cast<uint8_t>(messageCrc);
    messageBuilt = true;
    answerReceived = false;
    return true;
}

bool CFrameExchange::SetRawMessage(const KebPacket& packet) {
    const uint16_t length = packet.length;  // copied out of the packed structure
    if (length > kMaxDataLength) return false;
    message[0] = packet.dest;
    message[4] = packet.mtype;
    std::memcpy(message.data() + kDataOffset, packet.data, kDataAreaSize);
    return BuildFrame(length);
}

void CFrameExchange::GetRawAnswer(KebPacket& packet) const {
    packet.dest = answer[0];
    packet.length = answerLength;
    packet.send = answer[3];
    packet.mtype = answer[4];
    std::memcpy(packet.data, answer.data() + kDataOffset, kDataAreaSize);
    packet.crc = answerCrc;
}

void CFrameExchange::Clear() {
    message.fill(0);
    messageBuilt = false;
    messageLength = 0;
    messageCrc = 0;
    answer.fill(0);
    answerReceived = false;
    answerLength = 0;
    answerCrc = 0;
}

}  // namespace kelcmd
