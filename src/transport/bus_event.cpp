#include "transport/bus_event.h"

#include <iterator>

#include "transport/result_codes.h"

namespace kelcmd {

const char* BusEventKindName(BusEventKind kind) {
    static constexpr const char* kNames[] = {"request", "acknowledge", "answer", "resend",
                                             "purge",   "timeout",     "result"};
    const auto index = static_cast<size_t>(kind);
    return index < std::size(kNames) ? kNames[index] : "";
}

const char* BusDirectionName(BusDirection direction) {
    static constexpr const char* kNames[] = {"out", "in", ""};
    const auto index = static_cast<size_t>(direction);
    return index < std::size(kNames) ? kNames[index] : "";
}

namespace {

std::string AcknowledgeText(uint8_t result) {
    switch (result) {
        case RESULT_OK:
            return "ACK";
        case XMT_ERR_CRC:
            return "NAK: the unit asks for the frame again";
        default:
            return "not an acknowledge";
    }
}

std::string RefusalText(const BusEvent& event) {
    std::string text = "refused: " + ResultCodeText(event.unitError);
    if (event.unitError == BATCH_FAIL) {
        text += " (member " + std::to_string(event.failedMember) + ")";
    }
    return text + "; " + CommandWarningText(event.warning);
}

}  // namespace

std::string BusEventText(const BusEvent& event) {
    if (event.kind == BusEventKind::kAcknowledge) return AcknowledgeText(event.result);
    if (event.kind == BusEventKind::kPurge) return "dropped";
    if (event.result != RESULT_OK) return ResultCodeText(event.result);
    return event.refused ? RefusalText(event) : "OK";
}

}  // namespace kelcmd
