#include "dialogs/ports/communication_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {

const std::vector<uint32_t>& CommunicationState::BaudTable() {
    static const std::vector<uint32_t> rates = {2400, 4800, 9600, 19200, 38400, 57600};
    return rates;
}

const std::vector<std::string>& CommunicationState::BusControlNames() {
    static const std::vector<std::string> names = {"RTS_CONTROL", "AUTO_CONTROL"};
    return names;
}

std::vector<std::string> CommunicationState::DefaultPortNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= 20; ++i) names.push_back("Com" + std::to_string(i));
    return names;
}

void CommunicationState::SetSettings(const CPortSettings& settings) {
    portIndex = 0;
    for (size_t i = 0; i < portNames.size(); ++i) {
        if (PortNamesEqual(portNames[i], settings.GetName())) {
            portIndex = static_cast<int>(i);
            break;
        }
    }
    baudIndex = 0;
    const std::vector<uint32_t>& rates = BaudTable();
    for (size_t i = 0; i < rates.size(); ++i) {
        if (rates[i] == settings.GetBaudrate()) baudIndex = static_cast<int>(i);
    }
    busControlIndex = settings.GetBusControl();
    timeout = settings.GetTimeout();
    receiveTrials = settings.GetReceiveTrials();
}

CPortSettings CommunicationState::GetSettings(const CPortSettings& base) const {
    const std::vector<uint32_t>& rates = BaudTable();
    const bool portKnown = portIndex >= 0 && static_cast<size_t>(portIndex) < portNames.size();
    const bool baudKnown = baudIndex >= 0 && static_cast<size_t>(baudIndex) < rates.size();
    CPortSettings settings = base;
    settings.Set(portKnown ? portNames[portIndex] : "Com1", baudKnown ? rates[baudIndex] : 2400,
                 static_cast<uint8_t>(busControlIndex), timeout, receiveTrials);
    return settings;
}

uint32_t UnsignedFieldValue(const QString& text) {
    uint64_t value = 0;
    for (const QChar character : text) {
        if (!character.isDigit()) continue;
        value = value * 10 + static_cast<uint64_t>(character.digitValue());
        if (value > 0xFFFFFFFFULL) return 0xFFFFFFFFU;
    }
    return static_cast<uint32_t>(value);
}

CommunicationDialog::CommunicationDialog(CommunicationState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(tr("Communication"));
    setObjectName("communication");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout();
    auto addRow = [&](const QString& label, QWidget* field, const QString& unit = {}) {
        const int row = grid->rowCount();
        grid->addWidget(NewFieldLabel(label, *field, this), row, 0);
        grid->addWidget(field, row, 1);
        if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, this), row, 2);
    };

    port_ = new QComboBox(this);
    port_->setObjectName("serial_port");
    for (const std::string& name : state_.portNames) port_->addItem(QString::fromStdString(name));
    port_->setCurrentIndex(state_.portIndex);
    baud_ = new QComboBox(this);
    baud_->setObjectName("baudrate");
    for (const uint32_t rate : CommunicationState::BaudTable())
        baud_->addItem(QString::number(rate));
    baud_->setCurrentIndex(state_.baudIndex);
    busControl_ = new QComboBox(this);
    busControl_->setObjectName("bus_arbitration");
    for (const std::string& name : CommunicationState::BusControlNames()) {
        busControl_->addItem(QString::fromStdString(name));
    }
    busControl_->setCurrentIndex(state_.busControlIndex);
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), this);
    timeout_ = new QLineEdit(QString::number(state_.timeout), this);
    timeout_->setObjectName("timeout");
    timeout_->setValidator(digits);
    receiveTrials_ = new QLineEdit(QString::number(state_.receiveTrials), this);
    receiveTrials_->setObjectName("receive_trials");
    receiveTrials_->setValidator(digits);

    addRow(tr("Serial Port"), port_);
    addRow(tr("Baudrate"), baud_);
    addRow(tr("Bus Arbitration"), busControl_);
    addRow(tr("Timeout"), timeout_, tr("ms"));
    addRow(tr("Receive Trials"), receiveTrials_);
    grid->setColumnMinimumWidth(1, 150);
    layout->addLayout(grid);

    AddOkCancelRow(*this, *layout, [this] { TryAccept(); });
}

void CommunicationDialog::TryAccept() {
    state_.portIndex = port_->currentIndex();
    state_.baudIndex = baud_->currentIndex();
    // A bus control code without a name is shown as none and kept as it was.
    if (busControl_->currentIndex() >= 0) state_.busControlIndex = busControl_->currentIndex();
    state_.timeout = UnsignedFieldValue(timeout_->text());
    state_.receiveTrials = UnsignedFieldValue(receiveTrials_->text());
    accept();
}

}  // namespace kelcmd::dialogs
