#pragma once

#include <QWidget>
#include <cstdint>

#include "command_line_edit.h"
#include "unit_target_pane.h"

class QLabel;
class QPlainTextEdit;

namespace kelcmd::studio {

// A command line on the selected unit: a command typed as kelcmd takes it, completion of the
// command names and a hint of the arguments from the catalogue, and the result printed as kelcmd
// prints it. The command runs on the poller's thread, ahead of its next read.
class CommandLinePane : public UnitTargetPane {
    Q_OBJECT
  public:
    explicit CommandLinePane(QWidget* parent = nullptr);

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

    CommandLineEdit* line_;
    QLabel* hint_;
    QPlainTextEdit* output_;
};

}  // namespace kelcmd::studio
