#pragma once

#include <QTreeWidget>

#include "transport/bus_monitor.h"

// Every exchange the GUI thread makes on the bus: time, direction, bytes and the result text. The
// core calls ReceiveCommand on the executing thread; the row is added on the window's thread.
class BusMonitorPane : public QTreeWidget, public kelcmd::CBusMonitor {
    Q_OBJECT
  public:
    explicit BusMonitorPane(QWidget* parent = nullptr);
    void ReceiveCommand(const kelcmd::CKelCommand& command) override;

  private:
    void AddRow(const QString& direction, const QString& bytes, const QString& result);
};
