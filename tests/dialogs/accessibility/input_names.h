#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace kelcmd::testing {

// What the accessibility tree (the one a screen reader or a GUI test tool reads) says about the
// inputs of one window: text fields, spin boxes, drop-down lists, check boxes, radio buttons,
// list, table and tree views, buttons.
struct InputNames {
    int inputs = 0;
    // "role 'object name' called 'name'" of each input whose name is empty, or is the title of the
    // group it sits in while no label of its own names it (Qt's guess for a field without one).
    std::vector<QString> unnamed;
};

InputNames ReadInputNames(QWidget& window);

// The name a screen reader gives one input.
QString AccessibleName(QWidget& widget);

}  // namespace kelcmd::testing
