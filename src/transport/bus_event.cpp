#include "transport/bus_event.h"

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

}  // namespace kelcmd
