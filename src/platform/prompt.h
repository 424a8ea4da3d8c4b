#pragma once

#include <string>

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

// The prompt in use. The default writes messages to standard error and answers every question No.
Prompt& CurrentPrompt();

// Installs `prompt` (not owned) and returns the previous one; null restores the default.
Prompt* SetPrompt(Prompt* prompt);

}  // namespace kelcmd
