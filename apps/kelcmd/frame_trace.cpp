#include "frame_trace.h"

#include <span>
#include <vector>

#include "hex.h"
#include "platform/clock.h"
#include "system_reason.h"
#include "transport/frame.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

std::string FrameHex(const FrameBuffer& buffer, uint16_t dataLength) {
    std::vector<uint8_t> bytes(buffer.begin(), buffer.begin() + kHeaderSize + dataLength);
    bytes.push_back(buffer[kCrcOffset]);
    bytes.push_back(buffer[kCrcOffset + 1]);
    return HexBytes(bytes);
}

uint32_t MillisecondsSince(uint32_t tick) {
    return TickCount() - tick;  // the tick count wraps; the difference does not
}

// The answer's own result: a damaged CRC, the unit's refusal with its warning, or OK.
std::pair<uint32_t, std::string> AnswerResult(const CKelCommand& command) {
    const CFrameExchange& exchange = command.Exchange();
    const FrameBuffer& answer = exchange.answer;
    const uint16_t length = exchange.answerLength;
    const uint16_t crc = FrameCrc(std::span<const uint8_t>(answer.data(), kHeaderSize + length));
    if (crc != exchange.answerCrc) return {RCV_ERR_CRC, ResultCodeText(RCV_ERR_CRC)};
    if (exchange.AnswerType() == exchange.RequestType()) return {RESULT_OK, "OK"};
    std::string text = "refused: " + ResultCodeText(exchange.AnswerType());
    if (length >= 2) {
        const uint8_t* data = &answer[kDataOffset];
        text += "; " +
                CommandWarningText(static_cast<int16_t>(data[length - 2] << 8 | data[length - 1]));
    }
    return {exchange.AnswerType(), text};
}

}  // namespace

std::string RequestHex(const CKelCommand& command) {
    return FrameHex(command.GetMessageBuffer(), command.GetMessageLength());
}

std::string AnswerHex(const CKelCommand& command) {
    return FrameHex(command.GetAnswerBuffer(), command.GetAnswerLength());
}

void FrameTrace::Emit(const TraceRecord& record) {
    if (text_ != nullptr) {
        std::string lines = TraceText(record);
        for (size_t end = lines.find('\n'); end != std::string::npos; end = lines.find('\n', end)) {
            lines.insert(end + 1, "  ");
            end += 3;
        }
        std::fprintf(text_, "  %s\n", lines.c_str());
        std::fflush(text_);
    }
    if (json_ != nullptr) {
        std::fprintf(json_, "%s\n", TraceJson(record).c_str());
        std::fflush(json_);
    }
}

void FrameTrace::ReportRequest(const CKelCommand& command, uint32_t result,
                               const std::string& text) {
    Emit({exchange_.requestTime, command.GetPortName(), TraceRecord::Direction::kRequest,
          exchange_.request, MillisecondsSince(exchange_.startTick), result, text});
    exchange_.requestReported = true;
    exchange_.explainedError = result;
}

void FrameTrace::ReportAnswer(const CKelCommand& command) {
    const auto [result, text] = AnswerResult(command);
    if (!exchange_.requestReported) ReportRequest(command, RESULT_OK, "OK");
    Emit({std::chrono::system_clock::now(), command.GetPortName(), TraceRecord::Direction::kAnswer,
          AnswerHex(command), MillisecondsSince(exchange_.startTick), result, text});
    exchange_.explainedError = result;
}

// The port tells of a command several times during one exchange (at each reception, then at its
// end, and once more when the unit refused it). Each frame is reported once; a request that gets
// no answer is reported when the exchange's failure is known.
void FrameTrace::ReceiveCommand(const CKelCommand& command) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!command.IsMessageBuilt()) return;
    const std::string request = RequestHex(command);
    // A new exchange: another command, another request, or the same again later (a copy made for
    // each call may reuse the address of the last one).
    if (&command != exchange_.command || request != exchange_.request ||
        command.GetStartTime() != exchange_.startTick) {
        exchange_ = Exchange{};
        exchange_.command = &command;
        exchange_.startTick = command.GetStartTime();
        exchange_.request = request;
        exchange_.requestTime = std::chrono::system_clock::now() -
                                std::chrono::milliseconds(MillisecondsSince(exchange_.startTick));
    }

    // After a resend request the port tells once while the answer buffer holds the new bytes
    // under the old reception count, and once more with the count raised, even when nothing new
    // arrived: an answer counts as new when both have changed.
    if (command.IsAnswerReceived()) {
        const std::string answer = AnswerHex(command);
        const uint32_t reception = command.Exchange().trials;
        if (!exchange_.answerReported ||
            (answer != exchange_.lastAnswer && reception != exchange_.lastReception)) {
            exchange_.answerReported = true;
            exchange_.lastAnswer = answer;
            exchange_.lastReception = reception;
            ReportAnswer(command);
        }
    }

    const uint32_t error = command.GetError();
    const uint8_t destination = command.Exchange().Destination();
    if (!exchange_.requestReported) {
        // Until the exchange ends, a request without an answer shows no error of its own.
        if (error != RESULT_OK) {
            ReportRequest(command, error, ResultTextWithReason(error));
        } else if (!AcknowledgesRequests(destination)) {
            ReportRequest(command, RESULT_OK, "OK (group addresses do not answer)");
        } else if (destination == kAcknowledgedBroadcast ||
                   command.Exchange().RequestType() == kAcknowledgeOnlyCode) {
            ReportRequest(command, RESULT_OK, "OK (acknowledged; no answer follows)");
        }
    } else if (error != RESULT_OK && error != exchange_.explainedError) {
        // The exchange failed after its answer arrived, e.g. no answer to a resend request.
        Emit({std::chrono::system_clock::now(), command.GetPortName(), TraceRecord::Direction::kEnd,
              "", MillisecondsSince(exchange_.startTick), error, ResultTextWithReason(error)});
        exchange_.explainedError = error;
    }
}

}  // namespace kelcmd::app
