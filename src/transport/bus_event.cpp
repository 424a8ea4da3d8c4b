#include "transport/bus_event.h"

#include "transport/result_codes.h"

namespace kelcmd {

const char* BusEventKindName(BusEventKind kind) {
    switch (kind) {
        case BusEventKind::kRequest:
            return "request";
        case BusEventKind::kAcknowledge:
            return "acknowledge";
        case BusEventKind::kAnswer:
            return "answer";
        case BusEventKind::kResendRequest:
            return "resend";
        case BusEventKind::kPurge:
            return "purge";
        case BusEventKind::kTimeout:
            return "timeout";
        case BusEventKind::kResult:
            return "result";
    }
    return "";
}

const char* BusDirectionName(BusDirection direction) {
    switch (direction) {
        case BusDirection::kOut:
            return "out";
        case BusDirection::kIn:
            return "in";
        case BusDirection::kNone:
            return "";
    }
    return "";
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
