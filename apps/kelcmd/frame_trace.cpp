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

// A command is reported several times during one exchange (each reception, then the execution);
// each frame is printed once.
void FrameTrace::ReceiveCommand(const CKelCommand& command) {
    std::lock_guard<std::mutex> guard(lock_);
    const std::string request = command.IsMessageBuilt() ? RequestHex(command) : "";
    const std::string answer = command.IsAnswerReceived() ? AnswerHex(command) : "";
    if (&command == lastCommand_ && request == lastRequest_ && answer == lastAnswer_) return;
    if (&command != lastCommand_ || request != lastRequest_) {
        if (!request.empty()) std::fprintf(out_, "  >> %s\n", request.c_str());
    }
    if (!answer.empty()) std::fprintf(out_, "  << %s\n", answer.c_str());
    lastCommand_ = &command;
    lastRequest_ = request;
    lastAnswer_ = answer;
}

}  // namespace kelcmd::app
