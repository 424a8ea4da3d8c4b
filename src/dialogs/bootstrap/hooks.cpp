// Installs the dialogs into the core's hooks when the library is loaded, and takes them out again
// when it is unloaded. Nothing of Qt is created here: the application object comes with the first
// dialog.
#include <memory>

#include "api/communication.h"
#include "command/command_clipboard.h"
#include "dialogs/bootstrap/installed_dialogs.h"
#include "dialogs/bootstrap/qt_prompt.h"
#include "dialogs/clipboard/qt_command_clipboard.h"

namespace kelcmd::dialogs {
namespace {

class Hooks {
  public:
    Hooks() {
        prompt_.SetFallback(SetPrompt(&prompt_));
        previousCommandDialogs_ = InstallCommandDialogs(&commandDialogs_);
        previousClipboard_ = InstallCommandClipboard(std::make_shared<QtCommandClipboard>());
        Communication().SetPortDialogs(&portDialogs_);
    }
    ~Hooks() {
        Communication().SetPortDialogs(nullptr);
        InstallCommandClipboard(previousClipboard_);
        InstallCommandDialogs(previousCommandDialogs_);
        SetPrompt(prompt_.GetFallback());
    }
    Hooks(const Hooks&) = delete;
    Hooks& operator=(const Hooks&) = delete;

  private:
    QtPrompt prompt_;
    QtCommandDialogs commandDialogs_;
    QtPortDialogs portDialogs_;
    CommandDialogs* previousCommandDialogs_ = nullptr;
    std::shared_ptr<CommandClipboard> previousClipboard_;
};

const Hooks installed;

}  // namespace
}  // namespace kelcmd::dialogs
