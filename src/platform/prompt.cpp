#include "platform/prompt.h"

#include <atomic>
#include <cstdio>

namespace kelcmd {
namespace {

class HeadlessPrompt final : public Prompt {
  public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool AskYesNo(const std::string&) override { return false; }
};

HeadlessPrompt headless;
std::atomic<Prompt*> installed{nullptr};

}  // namespace

Prompt& CurrentPrompt() {
    Prompt* prompt = installed.load();
    return prompt ? *prompt : headless;
}

Prompt* SetPrompt(Prompt* prompt) {
    return installed.exchange(prompt);
}

}  // namespace kelcmd
