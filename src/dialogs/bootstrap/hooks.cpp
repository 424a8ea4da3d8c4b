// Installs the dialogs into the core's hooks when the library is loaded, and takes them out again
// when it is unloaded. Nothing of Qt is created here: the application object comes with the first
// dialog.
#include <memory>

#include "command/command_clipboard.h"
#include "dialogs/bootstrap/installed_dialogs.h"
#include "dialogs/bootstrap/qt_prompt.h"
#include "dialogs/clipboard/qt_command_clipboard.h"

namespace kelcmd::dialogs {
namespace {

class Hooks {
  public:
    Hooks() {
        prompt_->SetFallback(InstallPrompt(prompt_));
        previousCommandDialogs_ = InstallCommandDialogs(std::make_shared<QtCommandDialogs>());
        previousClipboard_ = InstallCommandClipboard(std::make_shared<QtCommandClipboard>());
    }
    // Each hook is handed back only when no call of another thread runs in it any more: the
    // code of what was installed goes with this library.
    ~Hooks() {
        InstallCommandClipboard(previousClipboard_);
        InstallCommandDialogs(previousCommandDialogs_);
        InstallPrompt(prompt_->GetFallback());
    }
    Hooks(const Hooks&) = delete;
    Hooks& operator=(const Hooks&) = delete;

  private:
    std::shared_ptr<QtPrompt> prompt_ = std::make_shared<QtPrompt>();
    std::shared_ptr<CommandDialogs> previousCommandDialogs_;
    std::shared_ptr<CommandClipboard> previousClipboard_;
};

const Hooks installed;

}  // namespace
}  // namespace kelcmd::dialogs
