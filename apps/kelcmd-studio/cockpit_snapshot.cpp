#include "cockpit_snapshot.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <cstdio>

#include "command_line_pane.h"
#include "event_wait.h"
#include "studio_window.h"
#include "units_table.h"

namespace kelcmd::studio {
namespace {

// Every unit's row says it answers and stands still.
bool AllStill(const UnitsTable& units) {
    for (int row = 0; row < units.rowCount(); ++row) {
        const QTableWidgetItem* state = units.item(row, UnitsTable::kState);
        const QTableWidgetItem* status = units.item(row, UnitsTable::kStatus);
        if (state == nullptr || state->text() != "live" || status == nullptr ||
            status->text().split(' ').contains("Moving")) {
            return false;
        }
    }
    return true;
}

}  // namespace

int WriteCockpitSnapshot(StudioWindow& window, const std::string& path) {
    RunEventsUntil([&] { return !window.Scanning(); }, 30000);
    window.SetPollPeriod(100);
    int shown = 0;
    QObject::connect(&window, &StudioWindow::ReadingsShown, &window, [&shown] { ++shown; });
    RunEventsUntil([&] { return shown >= 5; }, 5000);
    // Different targets, so that the rows and the curve tell the units apart.
    const int targets[] = {20000, -12000, 30000, 8000};
    std::vector<uint8_t> units = window.Units().Addresses();
    for (size_t i = 0; i < units.size(); ++i) {
        const QString unit = QString::number(units[i]);
        window.CommandLine().Enter("--slave " + unit + " SetRegMode 2");
        window.CommandLine().Enter(
            QString("--slave %1 MoveAbsolute %2 5000").arg(unit).arg(targets[i % 4]));
    }
    const int start = shown;
    RunEventsUntil([&] { return shown > start + 5 && AllStill(window.Units()); }, 15000);
    // A second of standing still after the move, for the curve's end.
    const int still = shown;
    RunEventsUntil([&] { return shown >= still + 10; }, 3000);
    const QString file = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(file).absolutePath());
    const bool written = window.grab().save(file);
    std::printf("%s %s (%d units)\n", written ? "wrote" : "cannot write", path.c_str(),
                window.UnitCount());
    return written ? 0 : 1;
}

}  // namespace kelcmd::studio
