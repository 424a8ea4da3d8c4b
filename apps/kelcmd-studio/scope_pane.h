#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <vector>

#include "dialogs/graph/recorded_data_view.h"
#include "scope_history.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace kelcmd::dialogs {
class GraphCanvas;
}

namespace kelcmd::studio {

// The scope: position, velocity and current of the selected unit over the last 10 to 60 s, drawn
// by the dialogs library's graph; pausing freezes what it shows, and "Open in Recorded Data" hands
// the captured window to the window that measures, prints and saves.
class ScopePane : public QWidget {
    Q_OBJECT
  public:
    explicit ScopePane(QWidget* parent = nullptr);

    void SetUnit(uint8_t address);
    void Show(const std::vector<UnitReading>& readings);
    bool Paused() const;
    const ScopeHistory& History() const { return history_; }
    // The captured window in its own "Recorded Data" window.
    void OpenInRecordedData();

  private:
    void Redraw();
    // Redraws now, or once the shortest interval between two drawings has passed.
    void RedrawSoon();

    ScopeHistory history_;
    dialogs::RecordedDataView view_;
    QLabel* title_;
    dialogs::GraphCanvas* canvas_;
    QCheckBox* pause_;
    QSpinBox* window_;
    QElapsedTimer lastDrawn_;
    bool redrawPending_ = false;
};

}  // namespace kelcmd::studio
