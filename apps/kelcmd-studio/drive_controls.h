#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "unit_target_pane.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace kelcmd::studio {

// One click per drive command on the selected unit: regulation mode, jog by a step either way,
// move to a position, stop, home, clear the error. The commands run on the poller's thread, ahead
// of its next read, through the same exports as the dialogs; the first move after the port opened
// asks for confirmation (through the library's prompt, so that a test can answer).
class DriveControls : public UnitTargetPane {
    Q_OBJECT
  public:
    explicit DriveControls(QWidget* parent = nullptr);

    // A port opened again: the next move asks again.
    void ResetConfirmation() { confirmed_ = false; }

    void SetRegulationMode(int mode);
    void Jog(int direction);
    void MoveTo(int32_t position);
    void Stop();
    void Home();
    void ClearError();

  Q_SIGNALS:
    // A command's outcome: "MoveRelative: OK", or "Command failed! MoveRelative: <why>".
    void Finished(const QString& text, bool ok);

  private:
    using Command = std::function<int32_t(const char* port, uint8_t unit)>;
    void Run(const std::string& name, Command command);
    bool MayMove();
    // Unit 0 (none selected) disables the controls too.
    bool TargetUsable() const override { return poller_ != nullptr && unit_ != 0; }

    bool confirmed_ = false;
    QComboBox* mode_;
    QSpinBox* step_;
    QSpinBox* target_;
};

}  // namespace kelcmd::studio
