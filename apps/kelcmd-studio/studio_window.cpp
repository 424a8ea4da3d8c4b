#include "studio_window.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "api/bus_scan.h"
#include "api/families.h"
#include "bus_monitor_pane.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/customer/customer_set_dialogs.h"
#include "dialogs/report/report_window.h"
#include "dialogs/tree/execute_command_dialog.h"
#include "dialogs/tree/execute_customer_dialog.h"
#include "kelcmd/kelcmd.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace {
constexpr const char* kPort = "Com1";
// A short wait per address keeps the scan of 127 addresses quick.
constexpr uint32_t kScanTimeoutMs = 20;
}  // namespace

StudioWindow::StudioWindow(const std::string& device, QWidget* parent)
    : QMainWindow(parent),
      device_(new QLineEdit(QString::fromStdString(device))),
      units_(new QListWidget),
      report_(new kelcmd::dialogs::CommandReportWindow),
      monitor_(new BusMonitorPane) {
    setObjectName("kelcmd_studio");
    setWindowTitle("KelCmd Studio");
    device_->setObjectName("device");
    units_->setObjectName("units");
    auto* open = new QPushButton("&Open Port");
    connect(open, &QPushButton::clicked, this, [this] { OpenPort(device_->text().toStdString()); });
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel("Port Com1 on"));
    portRow->addWidget(device_, 1);
    portRow->addWidget(open);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->addLayout(portRow);
    leftLayout->addWidget(new QLabel("Units"));
    leftLayout->addWidget(units_, 1);
    report_->setWindowFlags(Qt::Widget);
    if (auto* close = report_->findChild<QWidget*>("ok")) close->hide();  // a pane, not a window
    auto* top = new QSplitter;
    top->addWidget(left);
    top->addWidget(report_);
    auto* all = new QSplitter(Qt::Vertical);
    all->addWidget(top);
    all->addWidget(monitor_);
    setCentralWidget(all);

    QMenu* port = menuBar()->addMenu("&Port");
    portActions_.push_back(port->addAction("&Scan Units", this, [this] { ScanUnits(); }));
    portActions_.push_back(
        port->addAction("&Communication...", this, [] { KEB_MultiPortConfigurationDlg(); }));
    port->addAction("E&xit", this, &QWidget::close);
    QMenu* commands = menuBar()->addMenu("&Commands");
    commands->addAction("&Execute Command...", this, [this] { ExecuteCommands(); });
    commands->addAction("Execute &Client Command...", this, [this] { ExecuteClientCommands(); });
    commands->addAction("&Batch Commanding...", this, [this] { BatchCommanding(); });
    commands->addAction("Customer Command &Sets...", this, [this] {
        kelcmd::dialogs::EditCustomerCommandSets(kelcmd::Families().CustomerSets(), this);
    });
    QMenu* parameters = menuBar()->addMenu("P&arameters");
    parameters->addAction("&Temporary System Parameters...", this, [this] { ParameterSheet(); });
    portActions_.push_back(commands->menuAction());
    portActions_.push_back(parameters->menuAction());
    AddRecorderMenu();
    resize(1100, 700);
}

StudioWindow::~StudioWindow() {
    StopScan();
    KEB_CloseKelBusPort(kPort);
}

void StudioWindow::AddRecorderMenu() {
    QMenu* recorder = menuBar()->addMenu("&Recorder");
    recorder->addAction("&Setup Recorder...", this,
                        [this] { MP_SetupRecorderDlg(kPort, SelectedUnit()); });
    recorder->addAction("Record &Data...", this,
                        [this] { MP_RecordDataDlg(kPort, SelectedUnit()); });
    recorder->addAction("&Read Recorded Data...", this,
                        [this] { MP_ReadRecordedDataDlg(kPort, SelectedUnit()); });
    recorder->addAction("Show Recorded &Data...", this,
                        [this] { MP_DisplayRecordedDataDlg(kPort, SelectedUnit()); });
    portActions_.push_back(recorder->menuAction());
}

bool StudioWindow::OpenPort(const std::string& device) {
    StopScan();
    KEB_CloseKelBusPort(kPort);
    KEB_MapPort(kPort, device.c_str());
    if (KEB_InitKelBus(19200, kPort, KEB_RTS_CONTROL, kScanTimeoutMs, 4) != 0) {
        statusBar()->showMessage(QString("Cannot open %1 on %2").arg(kPort).arg(device.c_str()));
        return false;
    }
    ScanUnits();
    return true;
}

void StudioWindow::ScanUnits() {
    if (Scanning()) return;
    units_->clear();
    EnablePortUse(false);
    statusBar()->showMessage(QString("Scanning %1...").arg(kPort));
    stopScan_ = false;
    const int generation = ++scanGeneration_;
    scan_ = std::thread([this, generation] {
        const kelcmd::BusScanResult scan = kelcmd::ScanBus(
            kPort, 1, 127, kScanTimeoutMs, [this](uint8_t, size_t) { return !stopScan_.load(); });
        // The window takes the result on its own thread; a window already gone gets nothing.
        QMetaObject::invokeMethod(
            this, [this, generation, scan] { ShowUnits(generation, scan); }, Qt::QueuedConnection);
    });
}

void StudioWindow::StopScan() {
    stopScan_ = true;
    if (scan_.joinable()) scan_.join();
}

void StudioWindow::ShowUnits(int generation, const kelcmd::BusScanResult& scan) {
    if (generation != scanGeneration_) return;
    if (scan_.joinable()) scan_.join();
    for (const kelcmd::ScannedUnit& unit : scan.units) {
        auto* row = new QListWidgetItem(
            QString("Unit %1: %2")
                .arg(unit.address)
                .arg(QString::fromStdString(unit.versionsRead ? kelcmd::UnitVersionSummary(unit)
                                                              : "versions not read")));
        row->setData(Qt::UserRole, unit.address);
        units_->addItem(row);
    }
    if (units_->count() > 0) units_->setCurrentRow(0);
    EnablePortUse(true);
    statusBar()->showMessage(
        scan.cancelled ? QString("Scan of %1 stopped").arg(kPort)
                       : QString("%1 units answer on %2").arg(units_->count()).arg(kPort));
    Q_EMIT ScanFinished();
}

void StudioWindow::EnablePortUse(bool enabled) {
    for (QAction* action : portActions_) action->setEnabled(enabled);
}

int StudioWindow::UnitCount() const {
    return units_->count();
}

uint8_t StudioWindow::SelectedUnit() const {
    const QListWidgetItem* row = units_->currentItem();
    return row != nullptr ? static_cast<uint8_t>(row->data(Qt::UserRole).toInt()) : 1;
}

void StudioWindow::ExecuteCommands() {
    const auto families = kelcmd::Families().InOrder();
    kelcmd::dialogs::ExecuteStandardCommandsDialog dialog(families, kPort, SelectedUnit(), this);
    connect(&dialog, &kelcmd::dialogs::ExecuteTreeDialog::CommandExecuted, report_,
            &kelcmd::dialogs::CommandReportWindow::ShowCommand);
    dialog.exec();
}

void StudioWindow::ExecuteClientCommands() {
    kelcmd::dialogs::ExecuteCustomerCommandsDialog dialog(kelcmd::Families().CustomerSets(), kPort,
                                                          SelectedUnit(), this);
    connect(&dialog, &kelcmd::dialogs::ExecuteTreeDialog::CommandExecuted, report_,
            &kelcmd::dialogs::CommandReportWindow::ShowCommand);
    dialog.exec();
}

void StudioWindow::BatchCommanding() {
    kelcmd::dialogs::BatchCommandingDialog dialog(kelcmd::Families().BatchStore(), kPort,
                                                  SelectedUnit(), this);
    dialog.exec();
}

void StudioWindow::ParameterSheet() {
    MP_EditAllTempParamDlg(kPort, SelectedUnit());
}
