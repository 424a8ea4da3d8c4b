#include "scope_pane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/graph/recorded_data_window.h"

namespace kelcmd::studio {

ScopePane::ScopePane(QWidget* parent)
    : QWidget(parent),
      title_(new QLabel("Scope: no unit")),
      canvas_(new dialogs::GraphCanvas(view_, this)),
      pause_(new QCheckBox("&Pause scope")),
      window_(new QSpinBox) {
    setObjectName("scope");
    canvas_->setObjectName("scope_graph");
    canvas_->setAccessibleName("Scope graph");
    canvas_->setMinimumSize(320, 200);
    pause_->setObjectName("scope_pause");
    pause_->setAccessibleName("Pause scope");
    window_->setObjectName("scope_window");
    window_->setRange(static_cast<int>(ScopeHistory::kShortestWindow.count()),
                      static_cast<int>(ScopeHistory::kLongestWindow.count()));
    window_->setValue(static_cast<int>(history_.Window().count()));
    window_->setSuffix(" s");
    window_->setAccessibleName("Time span");
    auto* windowLabel = new QLabel("&Time span");
    windowLabel->setBuddy(window_);
    auto* open = new QPushButton("Open in &Recorded Data");
    open->setObjectName("scope_open");
    open->setAccessibleName("Open in Recorded Data");
    connect(open, &QPushButton::clicked, this, [this] { OpenInRecordedData(); });
    connect(window_, &QSpinBox::valueChanged, this, [this](int seconds) {
        history_.SetWindow(std::chrono::seconds(seconds));
        Redraw();
    });

    auto* controls = new QHBoxLayout;
    controls->addWidget(title_, 1);
    controls->addWidget(windowLabel);
    controls->addWidget(window_);
    controls->addWidget(pause_);
    controls->addWidget(open);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(canvas_, 1);
}

void ScopePane::SetUnit(uint8_t address) {
    if (address == history_.Unit()) return;
    history_.SetUnit(address);
    if (address == 0) {
        title_->setText("Scope: no unit");
    } else {
        // A legend in the curves' colours, which the graph hands out in curve order.
        const std::vector<dialogs::Rgb> colours = dialogs::CurveColours(3);
        const char* names[] = {"position [qc]", "mean velocity [qc/ms]", "mean current [mA]"};
        QString legend = QString("Scope: unit %1 &nbsp;").arg(address);
        for (size_t i = 0; i < colours.size(); ++i) {
            legend += QString(" <span style=\"color:rgb(%1,%2,%3)\">&#9632; %4</span>")
                          .arg(colours[i].red)
                          .arg(colours[i].green)
                          .arg(colours[i].blue)
                          .arg(names[i]);
        }
        title_->setText(legend);
    }
    Redraw();
}

bool ScopePane::Paused() const {
    return pause_->isChecked();
}

void ScopePane::Show(const std::vector<UnitReading>& readings) {
    if (Paused()) return;
    bool added = false;
    for (const UnitReading& reading : readings) added = history_.Add(reading) || added;
    if (added) RedrawSoon();
}

void ScopePane::RedrawSoon() {
    // Drawing the graph is most of what the cockpit costs; five times a second still shows a
    // window of 10 s and more smoothly.
    constexpr int kShortestIntervalMs = 200;
    if (redrawPending_) return;
    const qint64 since = lastDrawn_.isValid() ? lastDrawn_.elapsed() : kShortestIntervalMs;
    if (since >= kShortestIntervalMs) {
        Redraw();
        return;
    }
    redrawPending_ = true;
    QTimer::singleShot(static_cast<int>(kShortestIntervalMs - since), this, [this] {
        redrawPending_ = false;
        Redraw();
    });
}

void ScopePane::Redraw() {
    lastDrawn_.start();
    view_.SetData(history_.ToRecordedData());
    canvas_->update();
}

void ScopePane::OpenInRecordedData() {
    auto* window = new dialogs::RecordedDataWindow(history_.ToRecordedData(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString("Recorded Data: unit %1").arg(history_.Unit()));
    window->show();
}

}  // namespace kelcmd::studio
