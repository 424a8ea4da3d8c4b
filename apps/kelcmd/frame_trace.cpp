#include "frame_trace.h"

#include <span>
#include <vector>

#include "hex.h"
#include "system_reason.h"

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
// each frame is printed once, and so is a port failure with the operating system's reason.
void FrameTrace::ReceiveCommand(const CKelCommand& command) {
    std::lock_guard<std::mutex> guard(lock_);
    const std::string request = command.IsMessageBuilt() ? RequestHex(command) : "";
    const std::string answer = command.IsAnswerReceived() ? AnswerHex(command) : "";
    const uint32_t error = command.GetError();
    const bool sameCommand = &command == lastCommand_;
    const bool framesChanged = !sameCommand || request != lastRequest_ || answer != lastAnswer_;
    if (!sameCommand || request != lastRequest_) {
        if (!request.empty()) std::fprintf(out_, "  >> %s\n", request.c_str());
    }
    if (framesChanged && !answer.empty()) {
        std::fprintf(out_, "  << %s\n", answer.c_str());
    }
    if ((!sameCommand || error != lastError_) && IsPortFailure(error)) {
        std::fprintf(out_, "  !! %s\n", ResultTextWithReason(error).c_str());
    }
    lastCommand_ = &command;
    lastRequest_ = request;
    lastAnswer_ = answer;
    lastError_ = error;
}

}  // namespace kelcmd::app
