#pragma once

#include <QMainWindow>
#include <atomic>
#include <string>
#include <thread>

#include "api/bus_scan.h"

class QLineEdit;
class QListWidget;
class QAction;
class BusMonitorPane;

namespace kelcmd::dialogs {
class CommandReportWindow;
}

// The studio: a port (the simulated bus by default, or a tty), the units that answer on it, the
// library's dialogs from menus, the report of the last executed command and the bus monitor.
class StudioWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit StudioWindow(const std::string& device, QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Maps and opens the port on `device`, then starts a scan for units; false when it cannot be
    // opened.
    bool OpenPort(const std::string& device);
    int UnitCount() const;
    bool Scanning() const { return scan_.joinable(); }

  Q_SIGNALS:
    void ScanFinished();

  private:
    // The scan runs beside the window, which stays usable; the menus that use the port wait.
    void ScanUnits();
    void StopScan();
    void ShowUnits(int generation, const kelcmd::BusScanResult& scan);
    void EnablePortUse(bool enabled);
    uint8_t SelectedUnit() const;
    void ExecuteCommands();
    void ExecuteClientCommands();
    void BatchCommanding();
    void ParameterSheet();
    void AddRecorderMenu();

    QLineEdit* device_;
    QListWidget* units_;
    kelcmd::dialogs::CommandReportWindow* report_;
    BusMonitorPane* monitor_;
    std::vector<QAction*> portActions_;  // disabled while a scan runs
    std::thread scan_;
    int scanGeneration_ = 0;  // a stopped scan's late result is not shown
    std::atomic<bool> stopScan_{false};
};
