#pragma once

#include <string>
#include <vector>

#include "platform/hook.h"
#include "platform/prompt.h"

namespace kelcmd::app {

// Keeps the messages the library would show while it is installed, so that the program reports
// a failure once, in its own words, instead of the library's message box text on standard error.
class QuietPrompt final : public Prompt {
  public:
    QuietPrompt() : previous_(InstallPrompt(Unowned<Prompt>(*this))) {}
    ~QuietPrompt() override { InstallPrompt(previous_); }
    QuietPrompt(const QuietPrompt&) = delete;
    QuietPrompt& operator=(const QuietPrompt&) = delete;

    void ShowMessage(const std::string& text) override { messages_.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        messages_.push_back(text);
        return false;
    }
    const std::vector<std::string>& Messages() const { return messages_; }

  private:
    std::shared_ptr<Prompt> previous_;
    std::vector<std::string> messages_;
};

}  // namespace kelcmd::app
