#pragma once

#include <QWidget>
#include <cstdint>

namespace kelcmd::studio {

class UnitPoller;

// A pane whose commands go to the selected unit, run on the poller's thread ahead of its next
// read. Without a poller (no open port) the pane is disabled.
class UnitTargetPane : public QWidget {
  public:
    using QWidget::QWidget;

    void SetTarget(UnitPoller* poller, uint8_t unit) {
        poller_ = poller;
        unit_ = unit;
        setEnabled(TargetUsable());
    }

  protected:
    virtual bool TargetUsable() const { return poller_ != nullptr; }

    UnitPoller* poller_ = nullptr;
    uint8_t unit_ = 0;
};

}  // namespace kelcmd::studio
