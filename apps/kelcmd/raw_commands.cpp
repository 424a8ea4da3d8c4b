#include "raw_commands.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "command/kel_command.h"
#include "frame_trace.h"
#include "hex.h"
#include "kelcmd/kelcmd.h"
#include "system_reason.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

constexpr uint32_t kAnswerTimeout = 1000;
constexpr const char* kSendUsage = "usage: kelcmd send DEST MTYPE [BYTE ...]\n";

// Every argument error of send: the command's prefix, the reason, its usage; status 2.
int SendArgumentError(const std::string& reason) {
    std::fprintf(stderr, "kelcmd: send: %s\n%s", reason.c_str(), kSendUsage);
    return 2;
}

// 0 is success for a transfer; as a command error the same number reads CMD_FAIL.
void PrintResult(const char* what, uint8_t result) {
    std::printf("%s: %u %s\n", what, result,
                result == RESULT_OK ? "OK" : ResultTextWithReason(result).c_str());
}

}  // namespace

int RunSend(Session& session, const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) return SendArgumentError("needs DEST and MTYPE");
    KebPacket packet;
    std::memset(&packet, 0, sizeof packet);
    const auto dest = ParseNumber(arguments[1], 255);
    const auto mtype = ParseNumber(arguments[2], 255);
    if (!dest || !mtype) {
        const bool destWrong = !dest;
        return SendArgumentError(std::string(destWrong ? "DEST" : "MTYPE") + " '" +
                                 arguments[destWrong ? 1 : 2] + "' is not a number from 0 to 255");
    }
    if (arguments.size() - 3 > kMaxDataLength) {
        return SendArgumentError("at most " + std::to_string(kMaxDataLength) + " data bytes, not " +
                                 std::to_string(arguments.size() - 3));
    }
    packet.dest = static_cast<uint8_t>(*dest);
    packet.mtype = static_cast<uint8_t>(*mtype);
    for (size_t i = 3; i < arguments.size(); ++i) {
        const auto byte = ParseNumber(arguments[i], 255);
        if (!byte) {
            return SendArgumentError("data byte '" + arguments[i] +
                                     "' is not a number from 0 to 255");
        }
        packet.data[packet.length++] = static_cast<uint8_t>(*byte);
    }

    CKelCommand request;
    request.SetRawMessage(packet);
    std::printf("request  %s\n", RequestHex(request).c_str());
    const uint8_t sent = MP_KEB_SendPacket(session.options().port.c_str(), &packet);
    PrintResult("send", sent);
    if (sent != RESULT_OK) return 1;
    if (IsGroupAddress(packet.dest) || packet.mtype == kAcknowledgeOnlyCode)
        return 0;  // nothing answers these

    KebPacket answer;
    std::memset(&answer, 0, sizeof answer);
    const uint8_t received =
        MP_KEB_ReceivePacketRetry(session.options().port.c_str(), &answer, kAnswerTimeout);
    PrintResult("receive", received);
    if (received != RESULT_OK) return 1;
    std::printf("answer   dest %u send %u mtype %u length %u data %s\n", answer.dest, answer.send,
                answer.mtype, answer.length,
                HexBytes(std::span<const uint8_t>(answer.data, answer.length)).c_str());
    if (answer.mtype != packet.mtype) {
        std::printf("refused: %s\n", ResultCodeText(answer.mtype).c_str());
        if (answer.length >= 2) {
            const int16_t warning = static_cast<int16_t>(answer.data[answer.length - 2] << 8 |
                                                         answer.data[answer.length - 1]);
            std::printf("warning: %s\n", CommandWarningText(warning).c_str());
        }
    }
    return 0;
}

}  // namespace kelcmd::app
