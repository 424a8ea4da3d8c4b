#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "command/kel_standard_command.h"
#include "command/parameter_types.h"
#include "platform/hook.h"
#include "platform/prompt.h"

namespace kelcmd::testing {

// Records the messages library code shows; restores the previous prompt at the end.
class RecordingPrompt final : public Prompt {
  public:
    RecordingPrompt() { previous_ = InstallPrompt(Unowned<Prompt>(*this)); }
    ~RecordingPrompt() override { InstallPrompt(previous_); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string&) override { return false; }

    std::vector<std::string> messages;

  private:
    std::shared_ptr<Prompt> previous_;
};

inline uint32_t TypeWidth(uint8_t type) {
    return ParameterTypeSize(type);
}

using Parameters = std::initializer_list<std::pair<const char*, uint8_t>>;

// A standard command without a family: name, code, send and return parameters by type.
inline std::unique_ptr<CKelStandardCommand> MakeMember(const std::string& name, uint8_t code,
                                                       Parameters send = {},
                                                       Parameters returns = {},
                                                       uint32_t timeout = 100) {
    auto command = std::make_unique<CKelStandardCommand>();
    command->SetCommand(name, code, 0, 0);
    for (const auto& [parameter, type] : send) command->AddSendParameter(parameter, type, 0);
    for (const auto& [parameter, type] : returns) command->AddReturnParameter(parameter, type, 0);
    // Sizes follow the types.
    CParameterList& wire = command->Wire();
    for (size_t i = 0; i < wire.GetSendCount(); ++i) {
        wire.ChangeSendType(i, wire.GetSendType(i), TypeWidth(wire.GetSendType(i)));
    }
    for (size_t i = 0; i < wire.GetReturnCount(); ++i) {
        wire.ChangeReturnType(i, wire.GetReturnType(i), TypeWidth(wire.GetReturnType(i)));
    }
    command->SetAnswerTimeout(timeout);
    return command;
}

}  // namespace kelcmd::testing
