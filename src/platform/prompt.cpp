#include "platform/prompt.h"

#include <cstdio>

#include "platform/hook.h"

namespace kelcmd {
namespace {

class HeadlessPrompt final : public Prompt {
  public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool AskYesNo(const std::string&) override { return false; }
};

// Never destroyed: a library unloaded at exit may still put its prompt back.
Hook<Prompt>& PromptHook() {
    static Hook<Prompt>* const hook = new Hook<Prompt>();
    return *hook;
}

}  // namespace

PromptHandle CurrentPrompt() {
    if (std::shared_ptr<Prompt> installed = PromptHook().Current()) {
        return PromptHandle(std::move(installed));
    }
    static HeadlessPrompt headless;
    return PromptHandle(Unowned<Prompt>(headless));
}

std::shared_ptr<Prompt> InstallPrompt(std::shared_ptr<Prompt> prompt) {
    return PromptHook().Install(std::move(prompt));
}

}  // namespace kelcmd
