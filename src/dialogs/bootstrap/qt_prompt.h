#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/prompt.h"

namespace kelcmd::dialogs {

// Carries a message or question from another thread to the GUI thread and its answer back. Only
// the request queue is shared, under its own lock; the GUI thread is woken by a queued call of
// Serve.
class PromptBridge : public QObject {
    Q_OBJECT

  public:
    enum class Kind { kMessage, kQuestion };

    static PromptBridge& Instance();

    // From a thread other than the GUI thread: shows the prompt on the GUI thread and waits for
    // the answer. Nothing when no event loop will serve it (the library's own application object
    // runs one only while one of its dialogs is open).
    std::optional<bool> Relay(Kind kind, const std::string& text);

    // A dialog export begins or ends on the GUI thread. When the last one ends, requests that are
    // still waiting are answered at once, on this thread.
    void BeginDialog();
    void EndDialog();

    // Shows the prompt on the calling (GUI) thread.
    static bool ShowNow(Kind kind, const std::string& text);

    Q_INVOKABLE void Serve();

  private:
    struct Request {
        Kind kind;
        std::string text;
        bool done = false;
        bool answer = false;
    };

    PromptBridge() = default;
    bool Accepting() const;
    void Answer(Request& request);

    std::mutex lock_;
    std::condition_variable answered_;
    std::deque<Request*> waiting_;
    int openDialogs_ = 0;
};

// The prompt of the dialogs library: Qt message boxes on the GUI thread, carried there from other
// threads; without a QApplication, the prompt that was installed before it.
class QtPrompt final : public Prompt {
  public:
    void SetFallback(std::shared_ptr<Prompt> previous) { fallback_ = std::move(previous); }
    std::shared_ptr<Prompt> GetFallback() const { return fallback_; }

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

  private:
    bool Show(PromptBridge::Kind kind, const std::string& text);
    bool Fallback(PromptBridge::Kind kind, const std::string& text);

    std::shared_ptr<Prompt> fallback_;
};

}  // namespace kelcmd::dialogs
