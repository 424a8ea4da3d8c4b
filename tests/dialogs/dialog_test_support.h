#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/bootstrap/application.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "platform/hook.h"
#include "platform/prompt.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

inline void PrintTo(const WireRequest& request, std::ostream* out) {
    *out << "{dest " << int(request.dest) << ", mtype " << int(request.mtype) << ", data";
    for (const uint8_t byte : request.data) *out << ' ' << int(byte);
    *out << '}';
}

// Records what library code shows and answers its questions from a script (default Yes).
class RecordingPrompt final : public Prompt {
  public:
    RecordingPrompt() : previous_(InstallPrompt(Unowned<Prompt>(*this))) {}
    ~RecordingPrompt() override { InstallPrompt(previous_); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        if (whileAsking) whileAsking();
        return answer;
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    std::function<void()> whileAsking;  // runs while the question is open

  private:
    std::shared_ptr<Prompt> previous_;
};

// Every dialog test runs with the application object the library creates (offscreen platform).
class DialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(dialogs::PrepareGui(), ""); }
};

template <class Widget>
Widget& Find(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(name);
    if (widget == nullptr) throw std::runtime_error(std::string("no widget ") + name);
    return *widget;
}
// The row of `command` in the top-level folder `family` of a command tree, or null.
inline QTreeWidgetItem* Row(QTreeWidget& tree, const std::string& family,
                            const std::string& command) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem* folder = tree.topLevelItem(i);
        if (folder->text(0).toStdString() != family) continue;
        for (int j = 0; j < folder->childCount(); ++j) {
            if (folder->child(j)->text(0).toStdString() == command) return folder->child(j);
        }
    }
    return nullptr;
}
inline void Type(QWidget& dialog, const char* field, const std::string& text) {
    Find<QLineEdit>(dialog, field).setText(QString::fromStdString(text));
}
inline std::string Text(QWidget& dialog, const char* field) {
    return Find<QLineEdit>(dialog, field).text().toStdString();
}
inline void Click(QWidget& dialog, const char* button) {
    Find<QAbstractButton>(dialog, button).click();
}
inline bool Checked(QWidget& dialog, const char* box) {
    return Find<QAbstractButton>(dialog, box).isChecked();
}

// Plays the user for the modal dialogs that one call opens, in order: each step gets the next
// modal dialog (the wait window of a long command is not one of them). Dialogs beyond the script
// are cancelled; every dialog's title is recorded.
class ModalScript {
  public:
    using Step = std::function<void(QDialog&)>;

    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }
    std::vector<std::string> titles;

  private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == current_ || dialog->objectName() == "wait_window") {
            return;
        }
        current_ = dialog;
        titles.push_back(dialog->windowTitle().toStdString());
        if (next_ < steps_.size()) {
            steps_[next_++](*dialog);
        } else {
            dialog->reject();
        }
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    QPointer<QDialog> current_;
    QTimer timer_;
};

// Steps: press "&OK" (after filling fields), or "&Cancel".
inline ModalScript::Step Ok(std::function<void(QDialog&)> fill = nullptr) {
    return [fill](QDialog& dialog) {
        if (fill) fill(dialog);
        Click(dialog, "ok");
    };
}
inline ModalScript::Step Cancel() {
    return [](QDialog& dialog) { Click(dialog, "cancel"); };
}

}  // namespace kelcmd::testing
