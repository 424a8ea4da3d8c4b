#pragma once

#include <QPainter>
#include <QRectF>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/graph/graph_model.h"

namespace kelcmd::dialogs {

// Everything one graph shows, with its scales already chosen.
struct GraphScene {
    std::string caption;
    bool zoomed = false;
    std::vector<GraphCurve> curves;
    std::vector<Rgb> colours;  // per curve
    AxisAssignment axes;
    Range time;
    Range left;
    Range right;
    bool sampleAndHold = false;
    bool grid = true;
    std::optional<double> cursorTime;
    std::string readout;  // cursor or measure, at the top right
    std::optional<QRectF> rubberBand;
};

// The plot inside a graph's frame: room is left for the value labels on both sides, the title
// above and the time labels below.
QRectF PlotRectOf(const QRectF& frame);

// Draws one graph into `frame`. The one routine for the screen, bitmaps and printer pages: the
// painter's transformation maps the frame's units onto the device.
void PaintGraph(QPainter& painter, const QRectF& frame, const GraphScene& scene);

}  // namespace kelcmd::dialogs
