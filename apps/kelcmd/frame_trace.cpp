#include "frame_trace.h"

#include <span>
#include <vector>

#include "hex.h"

namespace kelcmd::app {
namespace {

std::string FrameHex(const FrameBuffer& buffer, uint16_t dataLength) {
    std::vector<uint8_t> bytes(buffer.begin(), buffer.begin() + kHeaderSize + dataLength);
    bytes.push_back(buffer[kCrcOffset]);
    bytes.push_back(buffer[kCrcOffset + 1]);
    return HexBytes(bytes);
}

}  // namespace

std::string RequestHex(const CKelCommand& command) {
    return FrameHex(command.GetMessageBuffer(), command.GetMessageLength());
}

std::string AnswerHex(const CKelCommand& command) {
    return FrameHex(command.GetAnswerBuffer(), command.GetAnswerLength());
}

void FrameTrace::ReceiveCommand(const CKelCommand& command) {
    if (command.IsMessageBuilt()) {
        std::fprintf(out_, "  >> %s\n", RequestHex(command).c_str());
    }
    if (command.IsAnswerReceived()) {
        std::fprintf(out_, "  << %s\n", AnswerHex(command).c_str());
    }
}

}  // namespace kelcmd::app
