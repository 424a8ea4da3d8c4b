#pragma once

#include <QWidget>
#include <string>

#include "monitor_log.h"
#include "transport/bus_tap.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QTimer;
class QTreeWidget;

namespace kelcmd::studio {

// Everything on the bus, as the bus tap sees it: one row per thing on the wire (request,
// acknowledge, answer, resend, purge, timeout) with its bytes and CRC, and one row with the judged
// result of each exchange. Filter by unit, pause, clear, and save what is listed as JSON lines in
// kelcmd's --trace-file format. Events are fetched from the tap a few times a second; pausing
// keeps collecting them and shows them when the monitor goes on.
class BusMonitorPane : public QWidget {
    Q_OBJECT
  public:
    enum Column { kTime, kUnit, kEvent, kBytes, kResult };

    explicit BusMonitorPane(QWidget* parent = nullptr);

    // Fetches what the tap has now (the timer does it on its own).
    void Fetch();
    void SetUnitFilter(uint8_t unit);
    void SetPaused(bool paused);
    void Clear();
    // Writes the listed entries; false with `error` set when the file cannot be written.
    bool SaveJsonLines(const std::string& path, std::string& error) const;
    const MonitorLog& Log() const { return log_; }
    QTreeWidget* Rows() const { return rows_; }

  private:
    void AddRow(const MonitorEntry& entry);
    void Rebuild();
    void TrimRows();
    void ShowCounts();
    void AskAndSave();

    MonitorLog log_;
    QTreeWidget* rows_;
    QSpinBox* unitFilter_;
    QCheckBox* pause_;
    QLabel* counts_;
    QTimer* timer_;
    uint8_t filter_ = 0;
    TapSubscription tap_;  // pulled by the timer; ends before the widgets go
};

}  // namespace kelcmd::studio
