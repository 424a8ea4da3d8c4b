#pragma once

#include <memory>
#include <string>
#include <utility>

namespace kelcmd {

// How library code shows a message or asks a question without depending on a toolkit. The dialogs
// library installs a Qt implementation, tests a scripted one; the default never blocks.
class Prompt {
  public:
    virtual ~Prompt() = default;
    // An information message with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

// The prompt in use for one call: it stays installed while the handle lives. Callers must not
// hold a lock while they use it (a question may wait for a person).
class PromptHandle {
  public:
    explicit PromptHandle(std::shared_ptr<Prompt> prompt) : prompt_(std::move(prompt)) {}
    void ShowMessage(const std::string& text) const { prompt_->ShowMessage(text); }
    bool AskYesNo(const std::string& text) const { return prompt_->AskYesNo(text); }

  private:
    std::shared_ptr<Prompt> prompt_;
};

// The prompt in use. The default writes messages to standard error and answers every question No.
PromptHandle CurrentPrompt();

// Installs `prompt` (null restores the default) and returns the previous one once no call is
// running in it (see platform/hook.h).
std::shared_ptr<Prompt> InstallPrompt(std::shared_ptr<Prompt> prompt);

}  // namespace kelcmd
