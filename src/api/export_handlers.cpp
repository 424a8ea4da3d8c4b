#include "api/export_handlers.h"

#include "api/catalogue_call.h"
#include "api/parameter_call.h"
#include "api/parameter_families.h"
#include "api/system_parameter_family.h"
#include "api/user_parameter_family.h"
#include "command/system_parameter_table.h"

namespace kelcmd {
namespace {

// (paramNb, value): the command for that parameter number, its value retyped to the parameter's
// width. Numbers above 78 have no type and so no width: refused before anything is sent.
std::unique_ptr<CKelStandardCommand> PrepareSingleParameter(
    CCommandFamily& family, const char* port, uint8_t slave, std::string_view command,
    std::span<const ExportArgument> arguments) {
    if (arguments.size() != 2) return nullptr;
    const auto number = arguments[0].As<uint8_t>();
    if (FindSystemParameter(number) == nullptr) return nullptr;
    auto call = PrepareCatalogueCall(&family, port, slave, command, {Value(number)});
    if (!call || !CSystemParameterFamily::RetypeValue(*call, number)) return nullptr;
    return call;
}

}  // namespace

int32_t ReadSystemParameterExport(CCommandFamily& family, const char* port, uint8_t slave,
                                  std::string_view command,
                                  std::span<const ExportArgument> arguments) {
    auto call = PrepareSingleParameter(family, port, slave, command, arguments);
    if (!call) return 0;
    return ExecuteCompleteRead(family, *call, {nullptr, arguments[1].Pointer()});
}

int32_t SetSystemParameterExport(CCommandFamily& family, const char* port, uint8_t slave,
                                 std::string_view command,
                                 std::span<const ExportArgument> arguments) {
    auto call = PrepareSingleParameter(family, port, slave, command, arguments);
    if (!call) return 0;
    const auto number = arguments[0].As<uint8_t>();
    // The parameter's width of low-order bytes, whatever the host's byte order.
    const auto bits = static_cast<uint32_t>(arguments[1].As<int32_t>());
    const auto byte = static_cast<uint8_t>(bits);
    const auto word = static_cast<uint16_t>(bits);
    switch (SystemParameterWidth(number)) {
        case 1:
            call->SetSendValue(1, &byte, 1);
            break;
        case 2:
            call->SetSendValue(1, &word, 2);
            break;
        default:
            call->SetSendValue(1, &bits, 4);
            break;
    }
    return family.Execute(call.get());
}

int32_t ReadUserParameterExport(CCommandFamily&, const char* port, uint8_t slave,
                                std::string_view command,
                                std::span<const ExportArgument> arguments) {
    if (arguments.size() != 3) return 0;
    auto* receivedLength = arguments[2].As<uint32_t*>();
    // `receivedLength` gets how many bytes the unit sent, 0 when the call fails (or throws).
    if (receivedLength != nullptr) *receivedLength = 0;
    uint32_t received = 0;
    const int32_t result =
        ReadUserParameterBytes(UserParameters(), port, slave, command, arguments[0].As<uint8_t*>(),
                               arguments[1].As<uint32_t>(), received);
    if (receivedLength != nullptr) *receivedLength = result ? received : 0;
    return result;
}

int32_t WriteUserParameterExport(CCommandFamily&, const char* port, uint8_t slave,
                                 std::string_view command,
                                 std::span<const ExportArgument> arguments) {
    if (arguments.size() != 2) return 0;
    return WriteUserParameterBytes(UserParameters(), port, slave, command,
                                   arguments[0].As<const uint8_t*>(), arguments[1].As<uint32_t>());
}

}  // namespace kelcmd
