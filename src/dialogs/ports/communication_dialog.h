#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "transport/port_settings.h"

class QComboBox;
class QLineEdit;

namespace kelcmd::dialogs {

// The state of the "Communication" dialog (the settings of one port), without widgets.
class CommunicationState {
  public:
    // 2400, 4800, 9600, 19200, 38400, 57600.
    static const std::vector<uint32_t>& BaudTable();
    // "RTS_CONTROL", "AUTO_CONTROL".
    static const std::vector<std::string>& BusControlNames();
    // "Com1" to "Com20".
    static std::vector<std::string> DefaultPortNames();

    void SetPortNames(std::vector<std::string> names) { portNames = std::move(names); }
    // Selects the port of that name (letter case ignored; the first entry when none matches), the
    // baud rate (the first entry, 2400, for a rate not in the table), and takes the bus control,
    // timeout and receive trials.
    void SetSettings(const CPortSettings& settings);
    // `base` with the entered values: the selected name ("Com1" when none is selected), rate
    // (2400 when none is selected), bus control, timeout and receive trials; its other fields
    // stay as they are.
    CPortSettings GetSettings(const CPortSettings& base = CPortSettings()) const;

    std::vector<std::string> portNames = DefaultPortNames();
    int portIndex = 0;
    int baudIndex = 3;
    int busControlIndex = 1;
    uint32_t timeout = 100;
    uint32_t receiveTrials = 4;
};

// "Communication": "Serial Port", "Baudrate", "Bus Arbitration", "Timeout" (ms), "Receive
// Trials", "&OK", "&Cancel". "&OK" takes the widgets' values into the state; the number fields
// accept any unsigned value.
class CommunicationDialog : public QDialog {
    Q_OBJECT

  public:
    explicit CommunicationDialog(CommunicationState& state, QWidget* parent = nullptr);
    void TryAccept();

  private:
    CommunicationState& state_;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* busControl_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QLineEdit* receiveTrials_ = nullptr;
};

// The digits of an unsigned field as a 32-bit value: empty is 0, too large is the largest value.
uint32_t UnsignedFieldValue(const QString& text);

}  // namespace kelcmd::dialogs
