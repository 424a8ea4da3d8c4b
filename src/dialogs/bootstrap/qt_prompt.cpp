#include "dialogs/bootstrap/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <cstdio>

#include "dialogs/bootstrap/application.h"

namespace kelcmd::dialogs {
namespace {

const char* const kTitle = "KelCmd";

}  // namespace

PromptBridge& PromptBridge::Instance() {
    // Created on first use and never destroyed: queued calls may still name it at process exit.
    static PromptBridge* bridge = [] {
        auto* created = new PromptBridge();
        if (QCoreApplication* application = QCoreApplication::instance()) {
            created->moveToThread(application->thread());
        }
        return created;
    }();
    return *bridge;
}

bool PromptBridge::ShowNow(Kind kind, const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (kind == Kind::kMessage) {
        QMessageBox::information(QApplication::activeWindow(), kTitle, message);
        return true;
    }
    return QMessageBox::question(QApplication::activeWindow(), kTitle, message,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool PromptBridge::Accepting() const {
    return !ApplicationIsOurs() || openDialogs_ > 0;
}

std::optional<bool> PromptBridge::Relay(Kind kind, const std::string& text) {
    Request request{kind, text};
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Accepting()) return std::nullopt;
        waiting_.push_back(&request);
    }
    QMetaObject::invokeMethod(this, "Serve", Qt::QueuedConnection);
    std::unique_lock<std::mutex> guard(lock_);
    answered_.wait(guard, [&request] { return request.done; });
    return request.answer;
}

void PromptBridge::Answer(Request& request) {
    const bool answer = ShowNow(request.kind, request.text);
    std::lock_guard<std::mutex> guard(lock_);
    request.answer = answer;
    request.done = true;
    answered_.notify_all();
}

void PromptBridge::Serve() {
    for (;;) {
        Request* request = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (waiting_.empty()) return;
            request = waiting_.front();
            waiting_.pop_front();
        }
        Answer(*request);
    }
}

void PromptBridge::BeginDialog() {
    std::lock_guard<std::mutex> guard(lock_);
    ++openDialogs_;
}

void PromptBridge::EndDialog() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (openDialogs_ > 0) --openDialogs_;
        if (Accepting()) return;
    }
    // No event loop runs after this: whoever still waits is answered now.
    Serve();
}

bool QtPrompt::Fallback(PromptBridge::Kind kind, const std::string& text) {
    if (fallback_ != nullptr) {
        if (kind == PromptBridge::Kind::kMessage) {
            fallback_->ShowMessage(text);
            return true;
        }
        return fallback_->AskYesNo(text);
    }
    // The core's own default: the message on standard error, every question answered No.
    if (kind == PromptBridge::Kind::kMessage) std::fprintf(stderr, "%s\n", text.c_str());
    return kind == PromptBridge::Kind::kMessage;
}

bool QtPrompt::Show(PromptBridge::Kind kind, const std::string& text) {
    try {
        if (!HaveWidgetsApplication()) return Fallback(kind, text);
        if (OnGuiThread()) return PromptBridge::ShowNow(kind, text);
        if (std::optional<bool> answer = PromptBridge::Instance().Relay(kind, text)) {
            return *answer;
        }
    } catch (...) {
        // A prompt never throws into the library code that asked.
    }
    return Fallback(kind, text);
}

void QtPrompt::ShowMessage(const std::string& text) {
    Show(PromptBridge::Kind::kMessage, text);
}

bool QtPrompt::AskYesNo(const std::string& text) {
    return Show(PromptBridge::Kind::kQuestion, text);
}

}  // namespace kelcmd::dialogs
