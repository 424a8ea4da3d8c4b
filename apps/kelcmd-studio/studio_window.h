#pragma once

#include <QMainWindow>
#include <string>

class QLineEdit;
class QListWidget;
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

    // Maps and opens the port on `device`, then scans for units; false when it cannot be opened.
    bool OpenPort(const std::string& device);
    int UnitCount() const;

  private:
    void ScanUnits();
    uint8_t SelectedUnit() const;
    void ExecuteCommands();
    void ExecuteClientCommands();
    void BatchCommanding();
    void ParameterSheet();

    QLineEdit* device_;
    QListWidget* units_;
    kelcmd::dialogs::CommandReportWindow* report_;
    BusMonitorPane* monitor_;
};
