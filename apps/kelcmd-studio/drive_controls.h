#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QSpinBox;

namespace kelcmd::studio {

class UnitPoller;

// One click per drive command on the selected unit: regulation mode, jog by a step either way,
// move to a position, stop, home, clear the error. The commands run on the poller's thread, ahead
// of its next read, through the same exports as the dialogs; the first move after the port opened
// asks for confirmation (through the library's prompt, so that a test can answer).
class DriveControls : public QWidget {
    Q_OBJECT
  public:
    explicit DriveControls(QWidget* parent = nullptr);

    // Where the commands go; a null poller or unit 0 disables the controls.
    void SetTarget(UnitPoller* poller, uint8_t unit);
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

    UnitPoller* poller_ = nullptr;
    uint8_t unit_ = 0;
    bool confirmed_ = false;
    QComboBox* mode_;
    QSpinBox* step_;
    QSpinBox* target_;
};

}  // namespace kelcmd::studio
