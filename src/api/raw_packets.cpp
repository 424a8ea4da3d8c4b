#include "api/raw_packets.h"

#include <memory>
#include <vector>

#include "api/communication.h"
#include "command/command_execution.h"
#include "command/kel_command.h"
#include "command/thread_outcome.h"
#include "platform/clock.h"
#include "transport/kel_communication.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

// A packet function that stops before the line: the thread's outcome says so.
uint8_t NotSent(uint8_t result) {
    RecordNotSentOutcome(result);
    return result;
}

}  // namespace

uint8_t RecordOpening(uint8_t result) {
    RecordStatusOutcome(
        result == RESULT_OK ? OutcomeStatus::kSucceeded : OutcomeStatus::kLineFailed, result);
    return result;
}

uint8_t SendPacketOn(const char* portName, KebPacket* packet, bool retry) {
    if (packet == nullptr) return NotSent(NO_COMMAND);
    std::shared_ptr<CKelPort> port = portName ? Communication().FindPort(portName) : nullptr;
    if (port == nullptr) return NotSent(WIN_ERR_WRITECOMM);
    CFrameExchange exchange;
    // A data length beyond the frame's 1023 bytes never reaches the line.
    if (!exchange.SetRawMessage(*packet)) return NotSent(BAD_LEN);
    const uint32_t start = TickCount();
    const uint8_t result = port->SendPacket(exchange, retry);
    RecordPacketOutcome(exchange, result, TickCount() - start);
    return result;
}

uint8_t ReceivePacketOn(const char* portName, KebPacket* packet, uint32_t timeout, bool resend) {
    if (packet == nullptr) return NotSent(NO_COMMAND);
    std::shared_ptr<CKelPort> port = portName ? Communication().FindPort(portName) : nullptr;
    if (port == nullptr || !port->IsLineOpen() || port->IsReservedByOther()) {
        return NotSent(WIN_ERR_READCOMM);
    }
    // The observers see a raw answer as the answer of a command, once the port is free again.
    auto command = std::make_unique<CKelCommand>();  // ~2 KiB, kept off the stack
    command->SetAnswerTimeout(timeout);
    CFrameExchange& exchange = command->Exchange();
    exchange.answerTimeout = timeout;
    const uint32_t start = TickCount();
    std::vector<CFrameExchange> receptions;
    const uint8_t result = port->ReceivePacket(exchange, resend, &receptions);
    NotifyReceptions(*port, *command, receptions);
    RecordPacketOutcome(exchange, result, TickCount() - start);
    exchange.GetRawAnswer(*packet);
    return result;
}

}  // namespace kelcmd
