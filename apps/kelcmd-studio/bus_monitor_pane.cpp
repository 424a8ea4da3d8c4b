#include "bus_monitor_pane.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kelcmd::studio {
namespace {

// Often enough to follow the bus by eye; each fetch lays out the list once for all its rows.
constexpr int kFetchMs = 250;
// Rows listed at most; older rows leave in batches (the log keeps more).
constexpr int kShownRows = 5000;
constexpr int kTrimBatch = 500;

QString LocalTime(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() %
        1000;
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return QString::asprintf("%02d:%02d:%02d.%03d", parts.tm_hour, parts.tm_min, parts.tm_sec,
                             static_cast<int>(millis));
}

}  // namespace

BusMonitorPane::BusMonitorPane(QWidget* parent)
    : QWidget(parent),
      rows_(new QTreeWidget),
      unitFilter_(new QSpinBox),
      pause_(new QCheckBox("P&ause monitor")),
      counts_(new QLabel),
      timer_(new QTimer(this)) {
    setObjectName("bus_monitor_pane");
    rows_->setObjectName("bus_monitor");
    rows_->setAccessibleName("Bus monitor");
    rows_->setHeaderLabels({"Time", "Unit", "Event", "Bytes (CRC included)", "Result"});
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setColumnWidth(kTime, 95);
    rows_->setColumnWidth(kUnit, 40);
    rows_->setColumnWidth(kEvent, 150);
    rows_->setColumnWidth(kBytes, 420);
    rows_->setFont(QFont("monospace"));
    unitFilter_->setObjectName("monitor_unit");
    unitFilter_->setRange(0, 255);
    unitFilter_->setSpecialValueText("all");
    unitFilter_->setAccessibleName("Show unit");
    auto* filterLabel = new QLabel("Show &unit");
    filterLabel->setBuddy(unitFilter_);
    pause_->setObjectName("monitor_pause");
    pause_->setAccessibleName("Pause monitor");
    auto* clear = new QPushButton("C&lear");
    clear->setObjectName("monitor_clear");
    clear->setAccessibleName("Clear monitor");
    auto* save = new QPushButton("Save as &JSON Lines...");
    save->setObjectName("monitor_save");
    save->setAccessibleName("Save as JSON Lines");
    counts_->setObjectName("monitor_counts");

    connect(unitFilter_, &QSpinBox::valueChanged, this,
            [this](int unit) { SetUnitFilter(static_cast<uint8_t>(unit)); });
    connect(pause_, &QCheckBox::toggled, this, [this](bool paused) { SetPaused(paused); });
    connect(clear, &QPushButton::clicked, this, [this] { Clear(); });
    connect(save, &QPushButton::clicked, this, [this] { AskAndSave(); });
    connect(timer_, &QTimer::timeout, this, [this] { Fetch(); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Bus monitor"));
    controls->addStretch(1);
    controls->addWidget(counts_);
    controls->addWidget(filterLabel);
    controls->addWidget(unitFilter_);
    controls->addWidget(pause_);
    controls->addWidget(clear);
    controls->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(rows_, 1);
    timer_->start(kFetchMs);
}

void BusMonitorPane::Fetch() {
    const std::vector<BusEvent> events = tap_.TakeAll();
    if (events.empty()) return;
    const bool show = !pause_->isChecked();
    for (const BusEvent& event : events) {
        const MonitorEntry& entry = log_.Add(event);
        if (show && MonitorLog::Passes(entry, filter_)) AddRow(entry);
    }
    if (show) {
        TrimRows();
        rows_->scrollToBottom();
    }
    ShowCounts();
}

void BusMonitorPane::AddRow(const MonitorEntry& entry) {
    const app::TraceRecord& record = entry.record;
    auto* row = new QTreeWidgetItem(rows_);
    row->setText(kTime, LocalTime(record.time));
    row->setText(kUnit, entry.unit == 0 ? QString() : QString::number(entry.unit));
    QString event = QString::fromStdString(record.event);
    if (!record.direction.empty()) event += QString(" (%1)").arg(record.direction.c_str());
    row->setText(kEvent, event);
    row->setText(kBytes, QString::fromStdString(record.hex));
    QString text = record.event == "request" ? QString() : QString::fromStdString(record.text);
    if (record.event == "result") {
        text += QString(" (%1 ms)").arg(record.durationMs);
        QFont bold = row->font(kResult);
        bold.setBold(true);
        row->setFont(kResult, bold);
        if (record.result != 0 || record.refused) row->setForeground(kResult, Qt::red);
    }
    row->setText(kResult, text);
}

void BusMonitorPane::TrimRows() {
    if (rows_->topLevelItemCount() <= kShownRows + kTrimBatch) return;
    const int surplus = rows_->topLevelItemCount() - kShownRows;
    for (int i = 0; i < surplus; ++i) delete rows_->takeTopLevelItem(0);
}

void BusMonitorPane::Rebuild() {
    rows_->clear();
    const std::deque<MonitorEntry>& entries = log_.Entries();
    // Only the newest rows that would be listed anyway.
    std::vector<const MonitorEntry*> shown;
    for (auto it = entries.rbegin(); it != entries.rend() && shown.size() < kShownRows; ++it) {
        if (MonitorLog::Passes(*it, filter_)) shown.push_back(&*it);
    }
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) AddRow(**it);
    rows_->scrollToBottom();
    ShowCounts();
}

void BusMonitorPane::ShowCounts() {
    QString text = QString("%1 events").arg(log_.Entries().size());
    const uint64_t lost = tap_.Dropped();
    if (lost > 0) text += QString(", %1 lost (the monitor fell behind)").arg(lost);
    counts_->setText(text);
}

void BusMonitorPane::SetUnitFilter(uint8_t unit) {
    filter_ = unit;
    if (unitFilter_->value() != unit) unitFilter_->setValue(unit);
    if (!pause_->isChecked()) Rebuild();
}

void BusMonitorPane::SetPaused(bool paused) {
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    if (!paused) Rebuild();
}

void BusMonitorPane::Clear() {
    log_.Clear();
    rows_->clear();
    ShowCounts();
}

bool BusMonitorPane::SaveJsonLines(const std::string& path, std::string& error) const {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string lines = log_.JsonLines(filter_);
    const bool written = std::fwrite(lines.data(), 1, lines.size(), file) == lines.size();
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
        return false;
    }
    return true;
}

void BusMonitorPane::AskAndSave() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Save the monitor as JSON lines", "kelbus-trace.jsonl",
                                     "JSON lines (*.jsonl);;All files (*)");
    if (path.isEmpty()) return;
    std::string error;
    if (!SaveJsonLines(path.toStdString(), error)) {
        QMessageBox::warning(this, "Save as JSON Lines", QString::fromStdString(error));
    }
}

}  // namespace kelcmd::studio
