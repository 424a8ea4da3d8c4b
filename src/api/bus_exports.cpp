// The bus-level exports: ports, settings and raw packets.
#include <cstring>
#include <memory>
#include <string>

#include "api/communication.h"
#include "api/current_target.h"
#include "api/export_guard.h"
#include "command/kel_command.h"
#include "command/thread_outcome.h"
#include "kelcmd/kelcmd.h"
#include "platform/clock.h"
#include "transport/kel_communication.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

using namespace kelcmd;

namespace {

// A packet function that stops before the line: the thread's outcome says so.
uint8_t NotSent(uint8_t result) {
    RecordNotSentOutcome(result);
    return result;
}

// An opening is judged like an exchange: the operating system's reason stays with a failure.
uint8_t RecordOpening(uint8_t result) {
    RecordStatusOutcome(
        result == RESULT_OK ? OutcomeStatus::kSucceeded : OutcomeStatus::kLineFailed, result);
    return result;
}

// The raw packet layer goes through the port, under its lock and its reservation, exactly as the
// commands do: a raw frame never interleaves with another thread's exchange.
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
    // A closed or reserved port leaves the caller's packet as it was.
    if (port == nullptr || !port->IsLineOpen() || port->IsReservedByOther()) {
        return NotSent(WIN_ERR_READCOMM);
    }
    // The observers see a raw answer as the answer of a command.
    auto command = std::make_unique<CKelCommand>();  // ~2 KiB, kept off the stack
    command->SetAnswerTimeout(timeout);
    CFrameExchange& exchange = command->Exchange();
    exchange.answerTimeout = timeout;
    const uint32_t start = TickCount();
    const uint8_t result = port->ReceivePacket(exchange, resend, command.get());
    RecordPacketOutcome(exchange, result, TickCount() - start);
    exchange.GetRawAnswer(*packet);
    return result;
}

}  // namespace

extern "C" {

KELCMD_API uint8_t KEB_InitKelBus(uint32_t baudrate, const char* portName, uint8_t busControl,
                                  uint32_t timeout, uint32_t receiveTrials) {
    return Guarded(WIN_ERR_OPENCOMM, [&]() -> uint8_t {
        if (portName == nullptr) return RecordOpening(WIN_ERR_OPENCOMM);
        SetCurrentPortName(portName);
        CPortSettings settings;
        settings.Set(portName, baudrate, busControl, timeout, receiveTrials);
        return RecordOpening(Communication().InitPort(settings));
    });
}

KELCMD_API uint8_t KEB_OpenKelBus(const char* portName) {
    return Guarded(WIN_ERR_OPENCOMM, [&]() -> uint8_t {
        if (portName == nullptr) return RecordOpening(WIN_ERR_OPENCOMM);
        return RecordOpening(Communication().OpenPort(portName));
    });
}

KELCMD_API uint8_t KEB_CloseKelBus(void) {
    return Guarded(WIN_ERR_CLOSECOMM, [&] { return Communication().ClosePort(CurrentPortName()); });
}

KELCMD_API uint8_t KEB_CloseKelBusPort(const char* portName) {
    return Guarded(WIN_ERR_CLOSECOMM, [&]() -> uint8_t {
        if (portName == nullptr) return WIN_ERR_CLOSECOMM;
        return Communication().ClosePort(portName);
    });
}

KELCMD_API int32_t KEB_GetKelBusSettings(const char* portName, uint32_t* baudrate,
                                         uint8_t* busControl, uint32_t* timeout,
                                         uint32_t* receiveTrials) {
    return Guarded(0, [&] {
        if (portName == nullptr) return 0;
        CPortSettings settings;
        if (!Communication().GetPortSettings(portName, &settings)) return 0;
        if (baudrate) *baudrate = settings.GetBaudrate();
        if (busControl) *busControl = settings.GetBusControl();
        if (timeout) *timeout = settings.GetTimeout();
        if (receiveTrials) *receiveTrials = settings.GetReceiveTrials();
        return 1;
    });
}

KELCMD_API uint32_t KEB_GetBaudrate(void) {
    return Guarded(0, [&]() -> uint32_t {
        CPortSettings settings;
        if (!Communication().GetPortSettings(CurrentPortName(), &settings)) return 0;
        return settings.GetBaudrate();
    });
}

KELCMD_API int32_t KEB_GetStandardPortName(char* buffer, uint32_t bufferSize) {
    return Guarded(0, [&] {
        const std::string name = CurrentPortName();
        if (buffer == nullptr || name.size() >= bufferSize) return 0;
        std::memcpy(buffer, name.c_str(), name.size() + 1);
        return 1;
    });
}

KELCMD_API uint8_t KEB_SendPacket(KebPacket* packet) {
    return Guarded(WIN_ERR_WRITECOMM,
                   [&] { return SendPacketOn(CurrentPortName().c_str(), packet, false); });
}

KELCMD_API uint8_t KEB_SendPacketRetry(KebPacket* packet) {
    return Guarded(WIN_ERR_WRITECOMM,
                   [&] { return SendPacketOn(CurrentPortName().c_str(), packet, true); });
}

KELCMD_API uint8_t KEB_ReceivePacket(KebPacket* packet, uint32_t timeout) {
    return Guarded(WIN_ERR_READCOMM, [&] {
        return ReceivePacketOn(CurrentPortName().c_str(), packet, timeout, false);
    });
}

KELCMD_API uint8_t KEB_ReceivePacketRetry(KebPacket* packet, uint32_t timeout) {
    return Guarded(WIN_ERR_READCOMM, [&] {
        return ReceivePacketOn(CurrentPortName().c_str(), packet, timeout, true);
    });
}

KELCMD_API uint8_t MP_KEB_SendPacket(const char* portName, KebPacket* packet) {
    return Guarded(WIN_ERR_WRITECOMM, [&] { return SendPacketOn(portName, packet, false); });
}

KELCMD_API uint8_t MP_KEB_SendPacketRetry(const char* portName, KebPacket* packet) {
    return Guarded(WIN_ERR_WRITECOMM, [&] { return SendPacketOn(portName, packet, true); });
}

KELCMD_API uint8_t MP_KEB_ReceivePacket(const char* portName, KebPacket* packet, uint32_t timeout) {
    return Guarded(WIN_ERR_READCOMM,
                   [&] { return ReceivePacketOn(portName, packet, timeout, false); });
}

KELCMD_API uint8_t MP_KEB_ReceivePacketRetry(const char* portName, KebPacket* packet,
                                             uint32_t timeout) {
    return Guarded(WIN_ERR_READCOMM,
                   [&] { return ReceivePacketOn(portName, packet, timeout, true); });
}

KELCMD_API int32_t KEB_MapPort(const char* portName, const char* device) {
    return Guarded(0, [&] {
        if (portName == nullptr || *portName == '\0') return 0;
        MapPort(portName, device ? device : "");
        return 1;
    });
}

}  // extern "C"
