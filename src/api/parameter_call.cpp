#include "api/parameter_call.h"

#include <cstring>

#include "command/command_stack.h"

namespace kelcmd {

int32_t ExecuteCompleteRead(CCommandFamily& family, CKelStandardCommand& call,
                            std::span<void* const> outputs) {
    CParameterList& wire = call.Wire();
    CCommandStack* stack = family.GetStack();
    if (stack != nullptr && stack->IsStacking(call.GetPortName(), call.GetDestination())) {
        size_t index = 0;
        for (void* output : outputs) call.BindReturnValue(index++, output);
        return family.Execute(&call);
    }
    wire.UnbindAll();
    if (family.Execute(&call) == 0) return 0;
    size_t needed = 0;
    for (size_t i = 0; i < wire.GetReturnCount(); ++i) needed += wire.GetReturnSize(i);
    if (!call.IsAnswerReceived() || !wire.IsValid() || call.GetAnswerLength() < needed) return 0;
    size_t index = 0;
    for (void* output : outputs) {
        const std::span<const uint8_t> value = wire.GetReturnValue(index++);
        if (output != nullptr && !value.empty()) std::memcpy(output, value.data(), value.size());
    }
    return 1;
}

}  // namespace kelcmd
