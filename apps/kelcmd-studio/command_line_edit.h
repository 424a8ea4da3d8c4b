#pragma once

#include <QLineEdit>

#include "command_line.h"

namespace kelcmd::studio {

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

}  // namespace kelcmd::studio
