// Installs the dialogs into the core's hooks when the library is loaded, and takes them out again
// when it is unloaded. Nothing of Qt is created here: the application object comes with the first
// dialog.
#include "api/communication.h"
#include "dialogs/bootstrap/installed_dialogs.h"
#include "dialogs/bootstrap/qt_prompt.h"

namespace kelcmd::dialogs {
namespace {

class Hooks {
  public:
    Hooks() {
        prompt_.SetFallback(SetPrompt(&prompt_));
        previousCommandDialogs_ = InstallCommandDialogs(&commandDialogs_);
        Communication().SetPortDialogs(&portDialogs_);
    }
    ~Hooks() {
        Communication().SetPortDialogs(nullptr);
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
};

const Hooks installed;

}  // namespace
}  // namespace kelcmd::dialogs
