#include "studio_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "api/families.h"
#include "bus_monitor_pane.h"
#include "command_line_pane.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/customer/customer_set_dialogs.h"
#include "dialogs/report/report_window.h"
#include "dialogs/tree/execute_command_dialog.h"
#include "dialogs/tree/execute_customer_dialog.h"
#include "drive_controls.h"
#include "kelcmd/kelcmd.h"
#include "kelcmd/kelcmd_dialogs.h"
#include "platform/prompt.h"
#include "scope_pane.h"
#include "sim/sim_options.h"
#include "system_reason.h"
#include "unit_poller.h"
#include "units_table.h"

namespace kelcmd::studio {
namespace {

// A short wait per address keeps the scan of 127 addresses quick.
constexpr uint32_t kScanTimeoutMs = 20;
constexpr const char* kDeviceKey = "device";

QWidget* Column(std::initializer_list<QWidget*> widgets, std::initializer_list<int> stretches) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto stretch = stretches.begin();
    for (QWidget* widget : widgets) layout->addWidget(widget, *stretch++);
    return column;
}

}  // namespace

StudioWindow::StudioWindow(std::string port, bool remember, bool interactive, QWidget* parent)
    : QMainWindow(parent),
      port_(std::move(port)),
      remember_(remember),
      interactive_(interactive),
      device_(new QLineEdit),
      period_(new QSpinBox),
      pausePolling_(new QCheckBox("Pause &polling")),
      units_(new UnitsTable),
      driveBox_(new QGroupBox("Drive")),
      drive_(new DriveControls),
      scope_(new ScopePane),
      commandLine_(new CommandLinePane),
      report_(new dialogs::CommandReportWindow),
      monitor_(new BusMonitorPane) {
    setObjectName("kelcmd_studio");
    setWindowTitle("KelCmd Studio");
    device_->setObjectName("device");
    device_->setAccessibleName(QString("Port %1 on").arg(port_.c_str()));
    period_->setObjectName("poll_period");
    period_->setRange(20, 5000);
    period_->setSingleStep(50);
    period_->setValue(static_cast<int>(UnitPoller::kDefaultPeriod.count()));
    period_->setSuffix(" ms");
    period_->setAccessibleName("Poll every");
    pausePolling_->setObjectName("poll_pause");
    pausePolling_->setAccessibleName("Pause polling");
    auto* open = new QPushButton("&Open Port");
    open->setObjectName("open_port");
    open->setAccessibleName("Open Port");
    connect(open, &QPushButton::clicked, this, [this] { OpenPort(device_->text().toStdString()); });
    connect(device_, &QLineEdit::returnPressed, this,
            [this] { OpenPort(device_->text().toStdString()); });
    connect(period_, &QSpinBox::valueChanged, this, [this](int ms) { SetPollPeriod(ms); });
    connect(pausePolling_, &QCheckBox::toggled, this, [this](bool on) { SetPollingPaused(on); });
    connect(units_, &QTableWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(drive_, &DriveControls::Finished, this,
            [this](const QString& text, bool) { statusBar()->showMessage(text, 10000); });

    auto* deviceLabel = new QLabel(QString("Port %1 &on").arg(port_.c_str()));
    deviceLabel->setBuddy(device_);
    auto* periodLabel = new QLabel("Poll &every");
    periodLabel->setBuddy(period_);
    auto* portRow = new QWidget;
    auto* portLayout = new QHBoxLayout(portRow);
    portLayout->setContentsMargins(0, 0, 0, 0);
    portLayout->addWidget(deviceLabel);
    portLayout->addWidget(device_, 1);
    portLayout->addWidget(open);
    portLayout->addWidget(periodLabel);
    portLayout->addWidget(period_);
    portLayout->addWidget(pausePolling_);

    (new QVBoxLayout(driveBox_))->addWidget(drive_);
    report_->setWindowFlags(Qt::Widget);
    if (auto* close = report_->findChild<QWidget*>("ok")) close->hide();  // a pane, not a window
    auto* tabs = new QTabWidget;
    tabs->setObjectName("tools");
    tabs->addTab(commandLine_, "Command &Line");
    tabs->addTab(report_, "Command &Report");

    auto* top = new QSplitter;
    top->addWidget(Column({portRow, units_}, {0, 1}));
    top->addWidget(driveBox_);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 1);
    auto* middle = new QSplitter;
    middle->addWidget(scope_);
    middle->addWidget(tabs);
    middle->setStretchFactor(0, 3);
    middle->setStretchFactor(1, 2);
    auto* all = new QSplitter(Qt::Vertical);
    all->addWidget(top);
    all->addWidget(middle);
    all->addWidget(monitor_);
    all->setStretchFactor(0, 2);
    all->setStretchFactor(1, 3);
    all->setStretchFactor(2, 2);
    top->setObjectName("top_splitter");
    middle->setObjectName("middle_splitter");
    all->setObjectName("main_splitter");
    splitters_ = {top, middle, all};
    setCentralWidget(all);
    BuildMenus();
    resize(1400, 950);
    if (remember_) RestoreLayout();
}

StudioWindow::~StudioWindow() {
    StopScan();
    StopPolling();
    KEB_CloseKelBusPort(port_.c_str());
}

void StudioWindow::BuildMenus() {
    QMenu* port = menuBar()->addMenu("&Port");
    portActions_.push_back(port->addAction("&Scan Units", this, [this] { ScanUnits(); }));
    portActions_.push_back(
        port->addAction("&Communication...", this, [] { KEB_MultiPortConfigurationDlg(); }));
    port->addAction("E&xit", this, &QWidget::close);
    QMenu* commands = menuBar()->addMenu("&Commands");
    commands->addAction("&Execute Command...", this, [this] {
        const auto families = Families().InOrder();
        dialogs::ExecuteStandardCommandsDialog dialog(families, port_.c_str(), SelectedUnit(),
                                                      this);
        ExecuteWithReport(dialog);
    });
    commands->addAction("Execute &Client Command...", this, [this] {
        dialogs::ExecuteCustomerCommandsDialog dialog(Families().CustomerSets(), port_.c_str(),
                                                      SelectedUnit(), this);
        ExecuteWithReport(dialog);
    });
    commands->addAction("&Batch Commanding...", this, [this] {
        dialogs::BatchCommandingDialog dialog(Families().BatchStore(), port_.c_str(),
                                              SelectedUnit(), this);
        dialog.exec();
    });
    commands->addAction("Customer Command &Sets...", this, [this] {
        dialogs::EditCustomerCommandSets(Families().CustomerSets(), this);
    });
    QMenu* parameters = menuBar()->addMenu("P&arameters");
    parameters->addAction("&Temporary System Parameters...", this,
                          [this] { MP_EditAllTempParamDlg(port_.c_str(), SelectedUnit()); });
    portActions_.push_back(commands->menuAction());
    portActions_.push_back(parameters->menuAction());
    AddRecorderMenu();
}

void StudioWindow::ExecuteWithReport(dialogs::ExecuteTreeDialog& dialog) {
    connect(&dialog, &dialogs::ExecuteTreeDialog::CommandExecuted, report_,
            &dialogs::CommandReportWindow::ShowCommand);
    dialog.exec();
}

void StudioWindow::AddRecorderMenu() {
    QMenu* recorder = menuBar()->addMenu("&Recorder");
    recorder->addAction("&Setup Recorder...", this,
                        [this] { MP_SetupRecorderDlg(port_.c_str(), SelectedUnit()); });
    recorder->addAction("Record &Data...", this,
                        [this] { MP_RecordDataDlg(port_.c_str(), SelectedUnit()); });
    recorder->addAction("&Read Recorded Data...", this,
                        [this] { MP_ReadRecordedDataDlg(port_.c_str(), SelectedUnit()); });
    recorder->addAction("Show Recorded &Data...", this,
                        [this] { MP_DisplayRecordedDataDlg(port_.c_str(), SelectedUnit()); });
    recorder->addSeparator();
    recorder->addAction("Open the Scope in Recorded &Data", this,
                        [this] { scope_->OpenInRecordedData(); });
    portActions_.push_back(recorder->menuAction());
}

bool StudioWindow::OpenPort(const std::string& device) {
    StopScan();
    StopPolling();
    units_->SetUnits({});
    KEB_CloseKelBusPort(port_.c_str());
    device_->setText(QString::fromStdString(device));
    KEB_MapPort(port_.c_str(), device.c_str());
    deviceNotes_.clear();
    device_->setToolTip({});
    const uint8_t result = KEB_InitKelBus(19200, port_.c_str(), KEB_RTS_CONTROL, kScanTimeoutMs, 4);
    if (result != 0) {
        ReportPortFailure(device, result);
        return false;
    }
    if (remember_) QSettings().setValue(kDeviceKey, QString::fromStdString(device));
    const app::OpenPortText opened = app::DescribeOpenPort(port_);
    device_->setToolTip(QString::fromStdString(opened.description));
    deviceNotes_ = opened.notes;
    poller_ = std::make_unique<UnitPoller>(port_, [this](const std::vector<UnitReading>& readings) {
        QMetaObject::invokeMethod(
            this, [this, readings] { ShowReadings(readings); }, Qt::QueuedConnection);
    });
    poller_->SetPeriod(std::chrono::milliseconds(period_->value()));
    poller_->SetPaused(pausePolling_->isChecked());
    drive_->ResetConfirmation();
    ScanUnits();
    return true;
}

void StudioWindow::ReportPortFailure(const std::string& device, uint8_t result) {
    const std::string problem = sim::SimOptionsProblem(device);
    const std::string text = problem.empty()
                                 ? app::OpenFailureText(port_, result)
                                 : "cannot open " + port_ + " (" + device + "): " + problem;
    statusBar()->showMessage(QString::fromStdString(text));
    if (interactive_) {
        CurrentPrompt().ShowMessage(text);
    } else {
        std::fprintf(stderr, "kelcmd-studio: %s\n", text.c_str());
    }
    SelectionChanged();
}

std::string StudioWindow::LastDevice() {
    return QSettings().value(kDeviceKey).toString().toStdString();
}

void StudioWindow::ScanUnits() {
    if (Scanning() || poller_ == nullptr) return;
    poller_->SetUnits({});
    EnablePortUse(false);
    statusBar()->showMessage(QString("Scanning %1...").arg(port_.c_str()));
    stopScan_ = false;
    const int generation = ++scanGeneration_;
    scan_ = std::thread([this, generation] {
        const BusScanResult scan = ScanBus(port_, 1, 127, kScanTimeoutMs,
                                           [this](uint8_t, size_t) { return !stopScan_.load(); });
        // The window takes the result on its own thread; a window already gone gets nothing.
        QMetaObject::invokeMethod(
            this, [this, generation, scan] { ShowUnits(generation, scan); }, Qt::QueuedConnection);
    });
}

void StudioWindow::StopScan() {
    stopScan_ = true;
    if (scan_.joinable()) scan_.join();
    ++scanGeneration_;
    EnablePortUse(true);
}

void StudioWindow::StopPolling() {
    poller_.reset();
    SelectionChanged();
}

void StudioWindow::ShowUnits(int generation, const BusScanResult& scan) {
    if (generation != scanGeneration_) return;
    if (scan_.joinable()) scan_.join();
    units_->SetUnits(scan.units);
    if (poller_ != nullptr) poller_->SetUnits(units_->Addresses());
    EnablePortUse(true);
    SelectionChanged();
    QString message =
        scan.cancelled
            ? QString("Scan of %1 stopped").arg(port_.c_str())
            : QString("%1 units answer on %2").arg(units_->rowCount()).arg(port_.c_str());
    if (!deviceNotes_.empty()) message += QString(" (note: %1)").arg(deviceNotes_.c_str());
    statusBar()->showMessage(message);
    Q_EMIT ScanFinished();
}

void StudioWindow::ShowReadings(const std::vector<UnitReading>& readings) {
    units_->Show(readings);
    scope_->Show(readings);
    Q_EMIT ReadingsShown();
}

void StudioWindow::SelectionChanged() {
    const uint8_t unit = units_->SelectedUnit();
    scope_->SetUnit(unit);
    drive_->SetTarget(poller_.get(), unit);
    commandLine_->SetTarget(poller_.get(), unit);
    driveBox_->setTitle(unit == 0 ? QString("Drive") : QString("Drive: unit %1").arg(unit));
}

void StudioWindow::SetPollPeriod(int milliseconds) {
    if (period_->value() != milliseconds) period_->setValue(milliseconds);
    if (poller_ != nullptr) poller_->SetPeriod(std::chrono::milliseconds(milliseconds));
}

void StudioWindow::SetPollingPaused(bool paused) {
    if (pausePolling_->isChecked() != paused) pausePolling_->setChecked(paused);
    if (poller_ != nullptr) poller_->SetPaused(paused);
}

void StudioWindow::EnablePortUse(bool enabled) {
    for (QAction* action : portActions_) action->setEnabled(enabled);
}

int StudioWindow::UnitCount() const {
    return units_->rowCount();
}

uint8_t StudioWindow::SelectedUnit() const {
    const uint8_t unit = units_->SelectedUnit();
    return unit != 0 ? unit : 1;
}

void StudioWindow::RestoreLayout() {
    const QSettings settings;
    restoreGeometry(settings.value("geometry").toByteArray());
    for (QSplitter* splitter : splitters_) {
        splitter->restoreState(settings.value("layout/" + splitter->objectName()).toByteArray());
    }
    const int period = settings.value("pollPeriodMs", period_->value()).toInt();
    period_->setValue(period);
}

void StudioWindow::SaveLayout() const {
    QSettings settings;
    settings.setValue("geometry", saveGeometry());
    for (QSplitter* splitter : splitters_) {
        settings.setValue("layout/" + splitter->objectName(), splitter->saveState());
    }
    settings.setValue("pollPeriodMs", period_->value());
}

void StudioWindow::closeEvent(QCloseEvent* event) {
    if (remember_) SaveLayout();
    QMainWindow::closeEvent(event);
}

}  // namespace kelcmd::studio
