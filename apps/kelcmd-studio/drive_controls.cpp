#include "drive_controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <limits>

#include "failure_report.h"
#include "kelcmd/kelcmd.h"
#include "platform/prompt.h"
#include "unit_poller.h"

namespace kelcmd::studio {
namespace {

// What a move may take before its answer comes, when the unit waits for the trajectory.
constexpr uint32_t kMoveTimeoutMs = 5000;

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAccessibleName(QString(text).remove('&'));
    return button;
}

QLabel* LabelFor(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove('&'));
    return label;
}

}  // namespace

DriveControls::DriveControls(QWidget* parent)
    : UnitTargetPane(parent), mode_(new QComboBox), step_(new QSpinBox), target_(new QSpinBox) {
    setObjectName("drive_controls");
    mode_->setObjectName("regulation_mode");
    // The texts of the SetRegMode dialog, in code order.
    mode_->addItems({"Regulation off", "Current Mode", "Position Mode", "Follow Encoder"});
    mode_->setCurrentIndex(2);
    step_->setObjectName("jog_step");
    step_->setRange(1, 10000000);
    step_->setValue(1000);
    step_->setSuffix(" qc");
    target_->setObjectName("move_target");
    target_->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    target_->setSuffix(" qc");

    auto* setMode = Button("Set &Mode", "set_mode", this);
    auto* jogMinus = Button("Jog &-", "jog_minus", this);
    auto* jogPlus = Button("Jog &+", "jog_plus", this);
    auto* moveTo = Button("Move &To", "move_to", this);
    auto* stop = Button("&Stop", "stop", this);
    auto* home = Button("&Home", "home", this);
    auto* clear = Button("&Clear Error", "clear_error", this);
    stop->setStyleSheet("font-weight: bold");
    connect(setMode, &QPushButton::clicked, this,
            [this] { SetRegulationMode(mode_->currentIndex()); });
    connect(jogMinus, &QPushButton::clicked, this, [this] { Jog(-1); });
    connect(jogPlus, &QPushButton::clicked, this, [this] { Jog(+1); });
    connect(moveTo, &QPushButton::clicked, this, [this] { MoveTo(target_->value()); });
    connect(stop, &QPushButton::clicked, this, [this] { Stop(); });
    connect(home, &QPushButton::clicked, this, [this] { Home(); });
    connect(clear, &QPushButton::clicked, this, [this] { ClearError(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(LabelFor("&Regulation", mode_), 0, 0);
    grid->addWidget(mode_, 0, 1);
    grid->addWidget(setMode, 0, 2);
    grid->addWidget(LabelFor("Jog s&tep", step_), 1, 0);
    grid->addWidget(step_, 1, 1);
    auto* jogs = new QHBoxLayout;
    jogs->addWidget(jogMinus);
    jogs->addWidget(jogPlus);
    grid->addLayout(jogs, 1, 2);
    grid->addWidget(LabelFor("&Position", target_), 2, 0);
    grid->addWidget(target_, 2, 1);
    grid->addWidget(moveTo, 2, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(stop);
    row->addWidget(home);
    row->addWidget(clear);
    grid->addLayout(row, 3, 0, 1, 3);
    setEnabled(false);
}

bool DriveControls::MayMove() {
    if (confirmed_) return true;
    confirmed_ = CurrentPrompt().AskYesNo("Unit " + std::to_string(unit_) +
                                          " is about to move. Is the axis free to move, and is "
                                          "someone at the emergency stop?");
    if (!confirmed_) Q_EMIT Finished("The move was not confirmed: nothing was sent", false);
    return confirmed_;
}

void DriveControls::Run(const std::string& name, Command command) {
    if (poller_ == nullptr || unit_ == 0) return;
    const std::string port = poller_->Port();
    const uint8_t unit = unit_;
    poller_->Submit([this, name, port, unit, command = std::move(command)] {
        const bool ok = command(port.c_str(), unit) == 1;
        // Read on the poller's thread, whose last outcome this is.
        const std::string reason = ok ? std::string() : app::LastFailureText();
        const QString text =
            ok ? QString("Unit %1 %2: OK").arg(unit).arg(QString::fromStdString(name))
               : QString("Command failed! Unit %1 %2%3")
                     .arg(unit)
                     .arg(QString::fromStdString(name))
                     .arg(reason.empty() ? QString() : ": " + QString::fromStdString(reason));
        QMetaObject::invokeMethod(
            this, [this, text, ok] { Q_EMIT Finished(text, ok); }, Qt::QueuedConnection);
    });
}

void DriveControls::SetRegulationMode(int mode) {
    Run("SetRegMode", [mode](const char* port, uint8_t unit) {
        return MP_SetRegMode(port, unit, static_cast<uint8_t>(mode));
    });
}

void DriveControls::Jog(int direction) {
    if (!MayMove()) return;
    const int32_t step = direction * step_->value();
    Run("MoveRelative", [step](const char* port, uint8_t unit) {
        return MP_MoveRelative(port, unit, step, kMoveTimeoutMs);
    });
}

void DriveControls::MoveTo(int32_t position) {
    if (!MayMove()) return;
    Run("MoveAbsolute", [position](const char* port, uint8_t unit) {
        return MP_MoveAbsolute(port, unit, position, kMoveTimeoutMs);
    });
}

void DriveControls::Stop() {
    // Abrupt, the stop mode the StopMotion dialog offers first; never asks.
    Run("StopMotion", [](const char* port, uint8_t unit) { return MP_StopMotion(port, unit, 0); });
}

void DriveControls::Home() {
    if (!MayMove()) return;
    Run("FindHomeSys",
        [](const char* port, uint8_t unit) { return MP_FindHomeSys(port, unit, kMoveTimeoutMs); });
}

void DriveControls::ClearError() {
    Run("ClearError", [](const char* port, uint8_t unit) { return MP_ClearError(port, unit); });
}

}  // namespace kelcmd::studio
