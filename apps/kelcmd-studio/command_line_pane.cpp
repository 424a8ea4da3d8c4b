#include "command_line_pane.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "unit_poller.h"

namespace kelcmd::studio {
namespace {

constexpr int kOutputLines = 2000;

}  // namespace

CommandLinePane::CommandLinePane(QWidget* parent)
    : UnitTargetPane(parent),
      line_(new CommandLineEdit),
      hint_(new QLabel),
      output_(new QPlainTextEdit) {
    setObjectName("command_line_pane");
    line_->setObjectName("command_line");
    line_->setAccessibleName("Command");
    line_->setPlaceholderText("MoveAbsolute 1000 5000   (Tab completes, Up and Down recall)");
    hint_->setObjectName("command_hint");
    hint_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    output_->setObjectName("command_output");
    output_->setAccessibleName("Command output");
    output_->setReadOnly(true);
    output_->setMaximumBlockCount(kOutputLines);
    output_->setFont(QFont("monospace"));

    QStringList names;
    for (const std::string& name : CompleteCommand("")) names << QString::fromStdString(name);
    names << "commands";
    auto* completer = new QCompleter(names, line_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    line_->setCompleter(completer);
    connect(line_, &QLineEdit::textChanged, this, [this](const QString& text) { ShowHint(text); });
    connect(line_, &QLineEdit::returnPressed, this, [this] {
        const QString text = line_->text();
        line_->clear();
        Enter(text);
    });

    auto* prompt = new QLabel("Co&mmand");
    prompt->setBuddy(line_);
    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(line_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(output_, 1);
    layout->addLayout(row);
    layout->addWidget(hint_);
    setEnabled(false);
}

void CommandLinePane::ShowHint(const QString& text) {
    const std::vector<std::string> words = SplitWords(text.toStdString());
    const std::string hint = words.empty() ? std::string() : CommandHint(words[0]);
    hint_->setText(QString::fromStdString(hint));
}

QString CommandLinePane::Hint() const {
    return hint_->text();
}

QString CommandLinePane::Output() const {
    return output_->toPlainText();
}

void CommandLinePane::Print(const QString& text) {
    output_->appendPlainText(text.endsWith('\n') ? text.chopped(1) : text);
    Q_EMIT Printed();
}

void CommandLinePane::Enter(const QString& line) {
    const std::string text = line.trimmed().toStdString();
    if (text.empty()) return;
    line_->History().Add(text);
    const QString typed = QString("unit %1> %2").arg(unit_).arg(QString::fromStdString(text));
    if (poller_ == nullptr) {
        Print(typed + "\nthe port is not open");
        return;
    }
    const std::string port = poller_->Port();
    const uint8_t unit = unit_;
    // The line and its result are printed together, so that a second line typed meanwhile does
    // not come between them.
    poller_->Submit([this, port, unit, text, typed] {
        const QString result =
            typed + "\n" + QString::fromStdString(RunCommandLine(port, unit, text));
        QMetaObject::invokeMethod(
            this, [this, result] { Print(result); }, Qt::QueuedConnection);
    });
}

}  // namespace kelcmd::studio
