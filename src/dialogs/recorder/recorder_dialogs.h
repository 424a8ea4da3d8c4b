#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kelcmd {
class CKelStandardCommand;
}

namespace kelcmd::dialogs {

// The set-up dialog's interval list holds 1, 2, 4 ... 65536 ms; the entry of a period is its
// number of trailing zero bits, and 0 (65536 in 16 bits) is the last entry.
int IntervalIndexOfPeriod(uint16_t period);
uint16_t PeriodOfIntervalIndex(int index);

// "SetupRecorder": "Measuring interval", "Data" and "Start automatically at each movement
// command", converted to period, dataType and autoRecord of the command.
class SetupRecorderDialog final : public QDialog {
  public:
    SetupRecorderDialog(uint16_t period, uint8_t dataType, bool autoRecord, QWidget* parent);
    uint16_t Period() const;
    uint8_t DataType() const;
    bool AutoRecord() const;

  private:
    QComboBox* interval_;
    QComboBox* data_;
    QCheckBox* auto_;
};

// The cost functions by list index: 102 to 105 for the current regulator, 201 to 204 for the
// position regulator. An unknown function opens on IAE (201) for the position regulator and ISE
// (102) otherwise.
int CostFunctionIndex(uint8_t toTune, uint8_t costFunction);
uint8_t CostFunctionOfIndex(int index);

// "InitAutotune": four radio groups.
class InitAutotuneDialog final : public QDialog {
  public:
    InitAutotuneDialog(uint8_t toTune, uint8_t startParam, uint8_t costFunction, uint8_t extent,
                       QWidget* parent);
    uint8_t ToTune() const;
    uint8_t StartParam() const;
    uint8_t CostFunction() const;
    uint8_t Extent() const;

  private:
    QButtonGroup* toTune_;
    QButtonGroup* startParam_;
    QButtonGroup* cost_;
    QButtonGroup* extent_;
};

// "SquareCurrentTest": the amplitude in mA (it travels as a Word, so above 65535 is refused with
// the dialog staying open) and the answer timeout in ms.
class SquareCurrentTestDialog final : public QDialog {
  public:
    SquareCurrentTestDialog(uint16_t amplitude, uint32_t timeout, QWidget* parent);
    uint16_t Amplitude() const { return amplitude_; }
    uint32_t Timeout() const { return timeout_; }
    void accept() override;

  private:
    QLineEdit* amplitudeField_;
    QLineEdit* timeoutField_;
    uint16_t amplitude_;
    uint32_t timeout_;
};

// The command's input through these dialogs: 1 on "&OK" with the values stored in the command, 0
// on "&Cancel". Commands without one of these dialogs: -1.
int EditWithRecorderDialog(CKelStandardCommand& command);

}  // namespace kelcmd::dialogs
