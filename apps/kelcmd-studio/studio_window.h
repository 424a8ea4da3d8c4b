#pragma once

#include <QMainWindow>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "api/bus_scan.h"
#include "unit_reading.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
class QSplitter;

namespace kelcmd::dialogs {
class CommandReportWindow;
class ExecuteTreeDialog;
}  // namespace kelcmd::dialogs

namespace kelcmd::studio {

class BusMonitorPane;
class CommandLinePane;
class DriveControls;
class ScopePane;
class UnitPoller;
class UnitsTable;

// The cockpit: a port (simulated units by default, or a tty), the units that answer on it with
// their live values, a scope and drive controls for the selected unit, a command line, the bus
// monitor, and the library's dialogs from menus.
class StudioWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `remember`: the last device and the window layout are kept in the settings (not for a
    // snapshot). `interactive`: a port that fails also says so in a message box.
    StudioWindow(std::string port, bool remember, bool interactive, QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Maps the port to `device`, opens it and scans for units; false (with the reason in the
    // status bar) when it cannot be opened.
    bool OpenPort(const std::string& device);
    int UnitCount() const;
    bool Scanning() const { return scan_.joinable(); }
    // The device of the last session, or empty.
    static std::string LastDevice();

    UnitsTable& Units() const { return *units_; }
    ScopePane& Scope() const { return *scope_; }
    DriveControls& Drive() const { return *drive_; }
    CommandLinePane& CommandLine() const { return *commandLine_; }
    BusMonitorPane& Monitor() const { return *monitor_; }
    void SetPollPeriod(int milliseconds);
    void SetPollingPaused(bool paused);

  Q_SIGNALS:
    void ScanFinished();
    // A poll cycle's readings reached the table and the scope.
    void ReadingsShown();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void AddRecorderMenu();
    // Runs a command tree dialog whose executed commands go to the report pane.
    void ExecuteWithReport(dialogs::ExecuteTreeDialog& dialog);
    // The scan runs beside the window, which stays usable; the menus that use the port wait.
    void ScanUnits();
    void StopScan();
    void StopPolling();
    void ShowUnits(int generation, const BusScanResult& scan);
    void ShowReadings(const std::vector<UnitReading>& readings);
    void SelectionChanged();
    void EnablePortUse(bool enabled);
    uint8_t SelectedUnit() const;
    void ReportPortFailure(const std::string& device, uint8_t result);
    void RestoreLayout();
    void SaveLayout() const;

    const std::string port_;
    const bool remember_;
    const bool interactive_;
    QLineEdit* device_;
    std::string deviceNotes_;  // what the open port's device noted, said after the scan
    QSpinBox* period_;
    QCheckBox* pausePolling_;
    UnitsTable* units_;
    QGroupBox* driveBox_;
    DriveControls* drive_;
    ScopePane* scope_;
    CommandLinePane* commandLine_;
    dialogs::CommandReportWindow* report_;
    BusMonitorPane* monitor_;
    std::vector<QSplitter*> splitters_;
    std::vector<QAction*> portActions_;  // disabled while a scan runs
    std::thread scan_;
    int scanGeneration_ = 0;  // a stopped scan's late result is not shown
    std::atomic<bool> stopScan_{false};
    std::unique_ptr<UnitPoller> poller_;  // stopped first: its jobs post to the panes
};

}  // namespace kelcmd::studio
