#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>

#include "command_line.h"

class QLabel;
class QPlainTextEdit;

namespace kelcmd::studio {

class UnitPoller;

// The line the command is typed in: Up and Down walk the history.
class CommandLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CommandLineEdit(QWidget* parent = nullptr);
    CommandHistory& History() { return history_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CommandHistory history_;
};

// A command line on the selected unit: a command typed as kelcmd takes it, completion of the
// command names and a hint of the arguments from the catalogue, and the result printed as kelcmd
// prints it. The command runs on the poller's thread, ahead of its next read.
class CommandLinePane : public QWidget {
    Q_OBJECT
  public:
    explicit CommandLinePane(QWidget* parent = nullptr);

    void SetTarget(UnitPoller* poller, uint8_t unit);
    // Runs the line as if typed and entered.
    void Enter(const QString& line);
    QString Output() const;
    QString Hint() const;

  Q_SIGNALS:
    // A command's output was printed.
    void Printed();

  private:
    void ShowHint(const QString& text);
    void Print(const QString& text);

    UnitPoller* poller_ = nullptr;
    uint8_t unit_ = 0;
    CommandLineEdit* line_;
    QLabel* hint_;
    QPlainTextEdit* output_;
};

}  // namespace kelcmd::studio
