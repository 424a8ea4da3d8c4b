#pragma once

#include <QDialog>
#include <QSpinBox>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace kelcmd::dialogs {

// "Destination is smaller than %u !" below the minimum, "Destination is greater than %u !" above
// the maximum; nothing inside the range.
std::optional<std::string> DestinationProblem(int64_t value, int64_t minimum, int64_t maximum);

// A destination field: any number can be typed (the check comes on "&OK"), the arrows step
// within minimum and maximum.
class DestinationSpinBox : public QSpinBox {
    Q_OBJECT

  public:
    DestinationSpinBox(int minimum, int maximum, QWidget* parent = nullptr);
    void stepBy(int steps) override;

  protected:
    StepEnabled stepEnabled() const override;

  private:
    int minimum_;
    int maximum_;
};

// "Enter Destination": the value starts at `initial` (1 when 0 is given); "&OK" refuses a value
// outside minimum to maximum with its message and stays open.
class EnterDestinationDialog : public QDialog {
    Q_OBJECT

  public:
    EnterDestinationDialog(int initial, int minimum, int maximum, QWidget* parent = nullptr);
    int Value() const;
    void TryAccept();

  private:
    DestinationSpinBox* destination_ = nullptr;
    int minimum_;
    int maximum_;
};

// "Enter PortName": the initial name is selected when it is in the list and not empty, else the
// first entry.
class EnterPortNameDialog : public QDialog {
    Q_OBJECT

  public:
    EnterPortNameDialog(const std::vector<std::string>& names, const std::string& initial,
                        QWidget* parent = nullptr);
    // The selected name, empty when none is selected.
    std::string Name() const;

  private:
    QComboBox* names_ = nullptr;
};

// "Enter PortName & Destination": both in one; a destination out of range is refused with its
// message, the field set to the limit it crossed, and the dialog stays open.
class EnterPortAndDestinationDialog : public QDialog {
    Q_OBJECT

  public:
    EnterPortAndDestinationDialog(const std::vector<std::string>& names, const std::string& initial,
                                  int destination, int minimum, int maximum,
                                  QWidget* parent = nullptr);
    std::string Name() const;
    int Destination() const;
    void TryAccept();

  private:
    QComboBox* names_ = nullptr;
    DestinationSpinBox* destination_ = nullptr;
    int minimum_;
    int maximum_;
};

}  // namespace kelcmd::dialogs
