// The Qt prompt from a worker thread: carried to the GUI thread while a dialog is open and
// answered there; without an open dialog the worker is never left waiting.
#include <QMessageBox>
#include <future>
#include <thread>

#include "dialog_test_support.h"

namespace kelcmd::testing {
namespace {

// Answers each message box that shows up with `button` and records its text.
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton button) {
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box == current_) return;
            current_ = box;
            texts.push_back(box->text().toStdString());
            box->button(button) != nullptr ? box->button(button)->click()
                                           : box->button(QMessageBox::Ok)->click();
        });
        timer_.start(5);
    }
    std::vector<std::string> texts;

  private:
    QTimer timer_;
    QPointer<QMessageBox> current_;
};

// The GUI thread waits in its event loop, as inside a dialog, until `work` ends on a worker.
template <class Work>
auto OnWorkerWhileDialogOpen(Work work) {
    dialogs::DialogSession session;
    auto result = std::async(std::launch::async, work);
    while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return result.get();
}

TEST_F(DialogTest, PromptThreadQuestionIsAnsweredOnTheGuiThread) {
    MessageBoxAnswerer user(QMessageBox::Yes);
    const bool answer = OnWorkerWhileDialogOpen([] {
        CurrentPrompt().ShowMessage("Port is already open!");
        return CurrentPrompt().AskYesNo("Do you really want to start?");
    });
    EXPECT_TRUE(answer);
    EXPECT_EQ(user.texts,
              (std::vector<std::string>{"Port is already open!", "Do you really want to start?"}));
}

TEST_F(DialogTest, PromptThreadWithoutAnOpenDialogFallsBackAtOnce) {
    MessageBoxAnswerer user(QMessageBox::Yes);
    auto asked = std::async(std::launch::async, [] { return CurrentPrompt().AskYesNo("Start?"); });
    ASSERT_EQ(asked.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(asked.get());
    EXPECT_TRUE(user.texts.empty());
}

}  // namespace
}  // namespace kelcmd::testing
