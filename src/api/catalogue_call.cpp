#include "api/catalogue_call.h"

#include "command/command_family.h"

namespace kelcmd {

std::unique_ptr<CKelStandardCommand> PrepareCatalogueCall(
    CCommandFamily* family, const char* port, int64_t slave, std::string_view command,
    std::initializer_list<SendArgument> send, std::initializer_list<ReturnArgument> returns,
    AnswerTimeout timeout) {
    if (family == nullptr || port == nullptr) return nullptr;
    const CKelStandardCommand* prototype = family->GetPrototype(command);
    if (prototype == nullptr) return nullptr;
    // 0 and everything above 255 fail here, before a byte is sent.
    if (slave < 1 || slave > 255) return nullptr;

    std::unique_lock<std::mutex> prototypeGuard(family->PrototypeLock());
    auto call = std::make_unique<CKelStandardCommand>(*prototype);
    prototypeGuard.unlock();
    if (call->SetDestination(static_cast<int32_t>(slave)) == 0) return nullptr;
    if (call->SetPortName(port) == 0) return nullptr;

    size_t index = 0;
    for (const SendArgument& argument : send) {
        if (!argument.KeepsPrototype()) call->SetSendValue(index, argument.Data(), argument.Size());
        ++index;
    }
    if (timeout.ms) call->SetAnswerTimeout(*timeout.ms);
    index = 0;
    for (const ReturnArgument& argument : returns) {
        CParameterList& wire = call->Wire();
        if (argument.resize && index < wire.GetReturnCount()) {
            wire.ChangeReturnType(index, wire.GetReturnType(index), *argument.resize);
        }
        call->BindReturnValue(index, argument.address);
        ++index;
    }
    return call;
}

int ExecuteCatalogueCall(CKelStandardCommand* command) {
    if (command == nullptr || command->GetOwner() == nullptr) return 0;
    return command->GetOwner()->Execute(command);
}

int CallCatalogue(CCommandFamily* family, const char* port, int64_t slave, std::string_view command,
                  std::initializer_list<SendArgument> send,
                  std::initializer_list<ReturnArgument> returns, AnswerTimeout timeout) {
    std::unique_ptr<CKelStandardCommand> call =
        PrepareCatalogueCall(family, port, slave, command, send, returns, timeout);
    // Straight to the family that prepared it, not round through the command's owner.
    return call ? family->Execute(call.get()) : 0;
}

}  // namespace kelcmd
