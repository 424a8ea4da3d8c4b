#pragma once

#include <QTableWidget>
#include <cstdint>
#include <vector>

#include "api/bus_scan.h"
#include "unit_reading.h"

namespace kelcmd::studio {

// The live units: one row per unit found, with its versions in the tooltip, its position,
// velocity, current, axis status, error and warning as last read. A unit that stops answering
// keeps its row and last values, greyed, with the reason in the state column.
class UnitsTable : public QTableWidget {
    Q_OBJECT
  public:
    enum Column { kUnit, kState, kPosition, kVelocity, kCurrent, kStatus, kError, kWarning };

    explicit UnitsTable(QWidget* parent = nullptr);

    void SetUnits(const std::vector<ScannedUnit>& units);
    void Show(const std::vector<UnitReading>& readings);
    std::vector<uint8_t> Addresses() const;
    // The selected unit's address; 0 when there is none.
    uint8_t SelectedUnit() const;
    int RowOf(uint8_t address) const;
};

}  // namespace kelcmd::studio
