// The cockpit offscreen against simulated units.
#include "studio_window.h"

#include <QFile>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "bus_monitor_pane.h"
#include "command_line_pane.h"
#include "dialogs/dialog_test_support.h"
#include "drive_controls.h"
#include "scope_pane.h"
#include "sim/sim_bus.h"
#include "sim/sim_unit.h"
#include "studio_test_support.h"
#include "units_table.h"

namespace kelcmd::studio {
namespace {

using testing::WaitFor;

class StudioWindowTest : public testing::StudioTest {
  protected:
    // A window on fresh simulated units, scanned and polled every 20 ms.
    void Open(const std::string& addresses, bool remember = false) {
        device_ = std::make_unique<testing::SimDevice>(addresses);
        window_ = std::make_unique<StudioWindow>("Com62", remember, false);
        window_->SetPollPeriod(20);
        ASSERT_TRUE(window_->OpenPort(device_->text));
        ASSERT_TRUE(WaitFor([&] { return !window_->Scanning(); }));
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = window_->Units().item(row, column);
        return item != nullptr ? item->text() : QString();
    }
    void TearDown() override { window_.reset(); }

    std::unique_ptr<testing::SimDevice> device_;
    std::unique_ptr<StudioWindow> window_;
};

TEST_F(StudioWindowTest, RowsFollowAMoveFromTheDriveControls) {
    kelcmd::testing::RecordingPrompt prompt;  // answers yes
    Open("1-3");
    ASSERT_EQ(window_->UnitCount(), 3);
    window_->Units().selectRow(1);
    DriveControls& drive = window_->Drive();
    drive.SetRegulationMode(2);
    drive.MoveTo(2500);
    drive.Jog(-1);  // 1000 qc back: asked only once
    EXPECT_TRUE(WaitFor([&] {
        return Cell(1, UnitsTable::kPosition) == "1500" &&
               !Cell(1, UnitsTable::kStatus).split(' ').contains("Moving");
    })) << Cell(1, UnitsTable::kPosition).toStdString();
    EXPECT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(Cell(0, UnitsTable::kPosition), "0");
    EXPECT_TRUE(Cell(1, UnitsTable::kStatus).split(' ').contains("PosReg"));
    EXPECT_EQ(Cell(1, UnitsTable::kError), "none");
    EXPECT_TRUE(WaitFor([&] { return window_->Scope().History().Size() > 3; }));
    EXPECT_EQ(window_->Scope().History().Unit(), 2);
}

TEST_F(StudioWindowTest, AUnitThatStopsAnsweringIsMarkedNotRemoved) {
    Open("1-2");
    ASSERT_TRUE(WaitFor([&] { return Cell(1, UnitsTable::kState) == "live"; }));
    device_->Bus()->Unit(2)->Misbehave(sim::Fault::Silent, sim::kAlways);
    EXPECT_TRUE(WaitFor([&] { return Cell(1, UnitsTable::kState) == "no answer"; }));
    EXPECT_EQ(window_->UnitCount(), 2);
    EXPECT_EQ(Cell(0, UnitsTable::kState), "live");
    EXPECT_EQ(Cell(1, UnitsTable::kPosition), "0");  // the last value read stays
    EXPECT_TRUE(window_->Units().item(1, UnitsTable::kState)->toolTip().contains("XMT_ERR_TACK"));
    device_->Bus()->Unit(2)->ClearFaults();
    EXPECT_TRUE(WaitFor([&] { return Cell(1, UnitsTable::kState) == "live"; }));
}

TEST_F(StudioWindowTest, ATypedCommandGoesOnTheWireAsKelcmdSendsIt) {
    Open("1");
    window_->SetPollingPaused(true);
    BusMonitorPane& monitor = window_->Monitor();
    WaitFor([] { return false; }, 100);  // a cycle under way ends
    monitor.Fetch();
    monitor.Clear();
    CommandLinePane& line = window_->CommandLine();
    line.Enter("MoveAbsoluteInfo 1000 5000");
    ASSERT_TRUE(WaitFor([&] { return line.Output().contains("MoveAbsoluteInfo: OK"); }));
    EXPECT_TRUE(
        line.Output().contains("unit 1> MoveAbsoluteInfo 1000 5000\n"
                               "MoveAbsoluteInfo: OK\n  flags = "));
    EXPECT_TRUE(line.Output().contains("\n  duration = "));
    monitor.Fetch();
    const std::deque<MonitorEntry>& entries = monitor.Log().Entries();
    ASSERT_EQ(entries.size(), 4u);
    // The request as `kelcmd MoveAbsoluteInfo 1000 5000` sends it: position 1000, option 0.
    EXPECT_EQ(entries[0].record.event, "request");
    EXPECT_EQ(entries[0].record.hex.substr(0, 29), "01 EC 05 00 24 00 00 03 E8 00");
    for (const MonitorEntry& entry : entries) EXPECT_EQ(entry.unit, 1);
}

TEST_F(StudioWindowTest, TheMonitorListsOneExchangeAsItsWireEventsAndOneResult) {
    Open("1-2");
    window_->SetPollingPaused(true);
    BusMonitorPane& monitor = window_->Monitor();
    WaitFor([] { return false; }, 100);
    monitor.Fetch();
    monitor.Clear();
    window_->CommandLine().Enter("--slave 2 ReadPosition");
    ASSERT_TRUE(WaitFor([&] { return window_->CommandLine().Output().contains("positionIs"); }));
    monitor.SetUnitFilter(2);
    monitor.Fetch();
    QTreeWidget& rows = *monitor.Rows();
    ASSERT_EQ(rows.topLevelItemCount(), 4);
    const char* events[] = {"request (out)", "acknowledge (in)", "answer (in)", "result"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows.topLevelItem(i)->text(BusMonitorPane::kEvent), events[i]);
        EXPECT_EQ(rows.topLevelItem(i)->text(BusMonitorPane::kUnit), "2");
    }
    EXPECT_TRUE(rows.topLevelItem(2)->text(BusMonitorPane::kBytes).startsWith("00 "));
    EXPECT_TRUE(rows.topLevelItem(3)->text(BusMonitorPane::kResult).startsWith("OK ("));
    EXPECT_EQ(rows.topLevelItem(3)->text(BusMonitorPane::kBytes), "");
    monitor.SetUnitFilter(1);
    EXPECT_EQ(rows.topLevelItemCount(), 0);

    // Saved in kelcmd's --trace-file format, filtered as listed.
    monitor.SetUnitFilter(2);
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/trace.jsonl").toStdString();
    std::string error;
    ASSERT_TRUE(monitor.SaveJsonLines(path, error)) << error;
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);  // four and the empty rest after the last line end
    EXPECT_TRUE(lines[0].startsWith("{\"time\":\""));
    EXPECT_TRUE(lines[0].contains("\"event\":\"request\",\"direction\":\"out\",\"bytes\":\"02 "));
    EXPECT_TRUE(lines[3].contains("\"event\":\"result\""));
    EXPECT_FALSE(monitor.SaveJsonLines(dir.path().toStdString() + "/no/such/dir/x.jsonl", error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
}

TEST_F(StudioWindowTest, APortThatFailsSaysWhyAndTheLastDeviceIsRemembered) {
    Open("1", true);
    EXPECT_EQ(StudioWindow::LastDevice(), device_->text);
    EXPECT_FALSE(window_->OpenPort("/dev/kelcmd-no-such-device"));
    EXPECT_EQ(window_->UnitCount(), 0);
    EXPECT_FALSE(window_->Drive().isEnabled());
    EXPECT_EQ(StudioWindow::LastDevice(), device_->text);  // only a device that opened
    const QString status = window_->findChild<QStatusBar*>()->currentMessage();
    EXPECT_EQ(status, "cannot open Com62 (/dev/kelcmd-no-such-device): No such file or directory");
    window_->close();
    EXPECT_TRUE(QSettings().contains("geometry"));
}

}  // namespace
}  // namespace kelcmd::studio
