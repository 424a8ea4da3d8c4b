#include "units_table.h"

#include <QHeaderView>

#include "reading_text.h"

namespace kelcmd::studio {
namespace {

QTableWidgetItem* CellOf(QTableWidget& table, int row, int column) {
    QTableWidgetItem* cell = table.item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table.setItem(row, column, cell);
    }
    return cell;
}

void SetCell(QTableWidget& table, int row, int column, const QString& text) {
    QTableWidgetItem* cell = CellOf(table, row, column);
    if (cell->text() != text) cell->setText(text);
}

}  // namespace

UnitsTable::UnitsTable(QWidget* parent) : QTableWidget(0, 8, parent) {
    setObjectName("units");
    setAccessibleName("Units");
    setHorizontalHeaderLabels({"Unit", "State", "Position [qc]", "Velocity [qc/ms]", "Current [mA]",
                               "Axis status", "Error", "Warning"});
    horizontalHeaderItem(kVelocity)->setToolTip("Mean velocity over the unit's last cycle");
    horizontalHeaderItem(kCurrent)->setToolTip("Mean current over the unit's last cycle");
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(kUnit, 45);
    setColumnWidth(kState, 80);
    for (const int column : {kPosition, kVelocity, kCurrent}) setColumnWidth(column, 115);
    setColumnWidth(kStatus, 220);
}

void UnitsTable::SetUnits(const std::vector<ScannedUnit>& units) {
    clearContents();
    setRowCount(static_cast<int>(units.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const ScannedUnit& unit = units[static_cast<size_t>(row)];
        SetCell(*this, row, kUnit, QString::number(unit.address));
        item(row, kUnit)->setData(Qt::UserRole, unit.address);
        item(row, kUnit)
            ->setToolTip(QString::fromStdString(unit.versionsRead ? UnitVersionSummary(unit)
                                                                  : "versions not read"));
        SetCell(*this, row, kState, "found");
    }
    if (rowCount() > 0) selectRow(0);
}

void UnitsTable::Show(const std::vector<UnitReading>& readings) {
    for (const UnitReading& reading : readings) {
        const int row = RowOf(reading.address);
        if (row < 0) continue;
        const QColor ink = reading.answered ? palette().color(QPalette::Text) : QColor(Qt::gray);
        if (!reading.answered) {
            SetCell(*this, row, kState, "no answer");
            item(row, kState)->setToolTip(QString::fromStdString(reading.failure));
            item(row, kState)->setForeground(QColor(Qt::red));
        } else {
            SetCell(*this, row, kState, "live");
            item(row, kState)->setToolTip({});
            item(row, kState)->setForeground(palette().color(QPalette::Text));
            SetCell(*this, row, kPosition, QString::number(reading.position));
            SetCell(*this, row, kVelocity, QString::number(reading.velocity, 'f', 3));
            SetCell(*this, row, kCurrent, QString::number(reading.current));
            QStringList names;
            for (const std::string& name : StatusNames(reading.status)) {
                names << QString::fromStdString(name);
            }
            SetCell(*this, row, kStatus, names.join(' '));
            SetCell(*this, row, kError, QString::fromStdString(UnitErrorText(reading.error)));
            SetCell(*this, row, kWarning, QString::fromStdString(UnitWarningText(reading.warning)));
            item(row, kError)->setToolTip(item(row, kError)->text());
            item(row, kWarning)->setToolTip(item(row, kWarning)->text());
        }
        for (const int column : {kPosition, kVelocity, kCurrent, kStatus, kError, kWarning}) {
            CellOf(*this, row, column)->setForeground(ink);
        }
        if (reading.answered && reading.error != 0) item(row, kError)->setForeground(Qt::red);
    }
}

std::vector<uint8_t> UnitsTable::Addresses() const {
    std::vector<uint8_t> addresses;
    for (int row = 0; row < rowCount(); ++row) {
        addresses.push_back(static_cast<uint8_t>(item(row, kUnit)->data(Qt::UserRole).toInt()));
    }
    return addresses;
}

uint8_t UnitsTable::SelectedUnit() const {
    const int row = currentRow();
    if (row < 0 || item(row, kUnit) == nullptr) return 0;
    return static_cast<uint8_t>(item(row, kUnit)->data(Qt::UserRole).toInt());
}

int UnitsTable::RowOf(uint8_t address) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (item(row, kUnit) != nullptr &&
            item(row, kUnit)->data(Qt::UserRole).toInt() == address) {
            return row;
        }
    }
    return -1;
}

}  // namespace kelcmd::studio
