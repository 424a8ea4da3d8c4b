#include "command/send_values.h"

#include "command/command.h"
#include "command/parameter_list.h"

namespace kelcmd {
namespace {

size_t TakeListValues(CParameterList* to, const CParameterList* from) {
    if (to == nullptr || from == nullptr || to == from) return 0;
    size_t taken = 0;
    for (size_t index = 0; index < to->GetSendCount(); ++index) {
        const int source = from->FindSend(to->GetSendName(index));
        if (source < 0) continue;
        const auto at = static_cast<size_t>(source);
        if (from->GetSendType(at) != to->GetSendType(index) ||
            from->GetSendSize(at) != to->GetSendSize(index)) {
            continue;
        }
        to->SetSendValue(index, from->GetSendValue(at).data(), from->GetSendSize(at));
        ++taken;
    }
    return taken;
}

}  // namespace

size_t TakeSendValues(CCommand& to, CCommand& from) {
    return TakeListValues(to.GetSendParameters(), from.GetSendParameters()) +
           TakeListValues(to.GetExtraParameters(), from.GetExtraParameters());
}

}  // namespace kelcmd
