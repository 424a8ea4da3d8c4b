#include "api/bus_scan.h"

#include <algorithm>

#include "api/catalogue_call.h"
#include "api/communication.h"
#include "api/parameter_call.h"
#include "api/parameter_families.h"
#include "api/system_parameter_texts.h"
#include "command/command_stack.h"
#include "transport/kel_communication.h"
#include "transport/kel_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

constexpr uint8_t kFirstUnit = 1;
constexpr uint8_t kLastUnit = 127;

bool IsPortFailure(uint8_t code) {
    return code >= WIN_ERR_OPENCOMM && code <= WIN_ERR_CLOSECOMM;
}

enum class Outcome { kFound, kSilent, kStop };

// One transmission of the request, and the wait for its answer when it was acknowledged. A full
// exchange transmits up to the port's send trials and waits for an answer after a missing
// acknowledge, several timeouts per empty address; the probe costs one, so that an empty bus is
// scanned in seconds. Raw, so that neither the error callback nor the observers hear of the empty
// addresses. The acknowledge's result code, or the port failure of the reception.
uint8_t Probe(CKelPort& port, uint8_t address, uint8_t code, uint32_t timeoutMs) {
    KebPacket packet{};
    packet.dest = address;
    packet.mtype = code;
    CFrameExchange exchange;
    exchange.SetRawMessage(packet);
    const uint8_t sent = port.SendPacket(exchange, false);
    if (sent != RESULT_OK) return sent;
    // The unit answers the probe: that answer is awaited (and dropped) so that it cannot meet the
    // next request on the line.
    exchange.answerTimeout = timeoutMs;
    const uint8_t received = port.ReceivePacket(exchange, false, nullptr);
    return IsPortFailure(received) ? received : uint8_t{RESULT_OK};
}

// Asks one address; `unit` is filled when something answered there.
Outcome AskAddress(const std::string& portName, uint8_t address, uint32_t timeoutMs,
                   ScannedUnit& unit, uint8_t& failure) {
    CSystemParameterFamily& family = SystemParameters();
    // A stacking thread would collect the reads into its batch instead of sending them.
    const CCommandStack* stack = family.GetStack();
    auto call = PrepareCatalogueCall(&family, portName.c_str(), address, "ReadVersion", {}, {},
                                     Timeout(timeoutMs));
    if (!call || (stack != nullptr && stack->IsStacking(portName, address))) {
        failure = NO_COMMAND;
        return Outcome::kStop;
    }
    const std::shared_ptr<CKelPort> port = Communication().FindPort(portName);
    if (port == nullptr) {
        failure = NO_COMMAND;
        return Outcome::kStop;
    }
    switch (const uint8_t probe = Probe(*port, address, call->GetCode(), timeoutMs)) {
        case RESULT_OK:
            break;
        case XMT_ERR_TACK:
            return Outcome::kSilent;
        default:
            if (IsPortFailure(probe)) {
                failure = probe;
                return Outcome::kStop;
            }
            break;  // a negative or damaged acknowledge: something is there
    }
    unit.address = address;
    if (ExecuteCompleteRead(family, *call,
                            {&unit.cmdVer, &unit.libVer, &unit.hardRev, &unit.bootVer, &unit.appNb,
                             &unit.appVer}) != 0) {
        unit.versionsRead = true;
        return Outcome::kFound;
    }
    // A complete exchange whose answer was too short for the six words.
    const uint8_t error = call->GetStatus() == STATUS_FAILED
                              ? static_cast<uint8_t>(call->GetError())
                              : static_cast<uint8_t>(BAD_LEN);
    if (IsPortFailure(error)) {
        failure = error;
        return Outcome::kStop;
    }
    // Only a missing acknowledge means nobody is there: a refusal, a negative or damaged
    // acknowledge, or an acknowledge without a timely answer all come from something at the
    // address.
    if (error == XMT_ERR_TACK) return Outcome::kSilent;
    unit.result = error;
    return Outcome::kFound;
}

}  // namespace

BusScanResult ScanBus(const std::string& portName, uint8_t firstAddress, uint8_t lastAddress,
                      uint32_t timeoutMs, const ScanProgress& progress) {
    BusScanResult result;
    const unsigned first = std::max(firstAddress, kFirstUnit);
    const unsigned last = std::min(lastAddress, kLastUnit);
    for (unsigned address = first; address <= last; ++address) {
        if (progress && !progress(static_cast<uint8_t>(address), result.units.size())) {
            result.cancelled = true;
            break;
        }
        ScannedUnit unit;
        const Outcome outcome =
            AskAddress(portName, static_cast<uint8_t>(address), timeoutMs, unit, result.failure);
        if (outcome == Outcome::kStop) break;
        if (outcome == Outcome::kFound) result.units.push_back(unit);
    }
    return result;
}

std::string UnitVersionSummary(const ScannedUnit& unit) {
    return "command set " + VersionText(VersionWord::kCmdVer, unit.cmdVer) + ", library " +
           VersionText(VersionWord::kLibVer, unit.libVer) + ", hardware " +
           VersionText(VersionWord::kHardRev, unit.hardRev) + ", boot " +
           VersionText(VersionWord::kBootVer, unit.bootVer) + ", application " +
           VersionText(VersionWord::kAppNb, unit.appNb) + " " +
           VersionText(VersionWord::kAppVer, unit.appVer);
}

}  // namespace kelcmd
