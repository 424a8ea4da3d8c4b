#pragma once

#include <QTreeWidget>

#include "transport/bus_tap.h"

// Everything on the bus, as the bus tap sees it: one row per thing on the wire (time, direction,
// bytes with the CRC, what it meant) and one row with the judged result of each exchange. The tap
// calls in on its own worker thread; the row is added on the window's thread.
class BusMonitorPane : public QTreeWidget {
    Q_OBJECT
  public:
    explicit BusMonitorPane(QWidget* parent = nullptr);

  private:
    void AddRow(const QString& time, const QString& direction, const QString& bytes,
                const QString& result);
    void Show(const kelcmd::BusEvent& event);

    kelcmd::TapSubscription tap_;  // last: ends before the widget does
};
