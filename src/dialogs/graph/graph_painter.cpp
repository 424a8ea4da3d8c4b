#include "dialogs/graph/graph_painter.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace kelcmd::dialogs {
namespace {

constexpr double kLeftRoom = 64;
constexpr double kRightRoom = 64;
constexpr double kTopRoom = 22;
constexpr double kBottomRoom = 36;
constexpr double kMajorTick = 10;
constexpr double kMinorTick = 5;
const QColor kPlotBackground(212, 212, 212);  // the white of the colour list stays visible

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QColor ColourOf(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QPen GridPen() {
    QPen pen(QColor(150, 150, 150));
    pen.setStyle(Qt::DotLine);
    pen.setWidthF(0);
    return pen;
}

void PaintValueAxis(QPainter& painter, const QRectF& plot, const Range& range, bool left,
                    const std::string& unit, bool grid) {
    const double x = left ? plot.left() : plot.right();
    const double direction = left ? -1 : 1;
    const QFontMetricsF metrics(painter.font());
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    for (const Tick& tick : ValueTicks(range, plot.height())) {
        const double y = ToPixel(tick.value, range, plot.bottom(), plot.top());
        const double length = tick.major ? kMajorTick : kMinorTick;
        painter.drawLine(QPointF(x, y), QPointF(x + direction * length, y));
        if (!tick.major) continue;
        if (grid && left) {
            painter.setPen(GridPen());
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            painter.setPen(Qt::black);
        }
        const QString label = Q(tick.label);
        const double width = metrics.horizontalAdvance(label);
        const double textX = left ? x - kMajorTick - 2 - width : x + kMajorTick + 2;
        painter.drawText(QPointF(textX, y + metrics.ascent() / 2 - 1), label);
    }
    if (unit.empty()) return;
    const QString text = "[" + Q(unit) + "]";
    const double width = metrics.horizontalAdvance(text);
    const double textX = left ? x - 10 - width : x + 10;
    // On the line of the time base, clear of the time labels.
    painter.drawText(
        QPointF(textX, plot.bottom() + kMajorTick + metrics.height() + metrics.ascent()), text);
}

void PaintTimeAxis(QPainter& painter, const QRectF& plot, const Range& range,
                   const std::string& timeUnit, bool grid) {
    const QFontMetricsF metrics(painter.font());
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const double labelPixels = metrics.horizontalAdvance("-0000.000") + 12;
    for (const Tick& tick : TimeTicks(range, plot.width(), labelPixels, timeUnit)) {
        const double x = ToPixel(tick.value, range, plot.left(), plot.right());
        const double length = tick.major ? kMajorTick : kMinorTick;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + length));
        if (!tick.major) continue;
        if (grid) {
            painter.setPen(GridPen());
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            painter.setPen(Qt::black);
        }
        const QString label = Q(tick.label);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2,
                                 plot.bottom() + kMajorTick + metrics.ascent()),
                         label);
    }
    const QString base = Q(TimeBaseText(timeUnit));
    if (!base.isEmpty()) {
        painter.drawText(QPointF(plot.right() - metrics.horizontalAdvance(base),
                                 plot.bottom() + kMajorTick + metrics.height() + metrics.ascent()),
                         base);
    }
}

void PaintCurve(QPainter& painter, const QRectF& plot, const GraphScene& scene, size_t index) {
    const GraphCurve& curve = scene.curves[index];
    if (!curve.shown || curve.values.empty()) return;
    const Range& values = scene.axes.axis[index] == Axis::kLeft ? scene.left : scene.right;
    QPainterPath path;
    for (size_t i = 0; i < curve.values.size(); ++i) {
        const QPointF point(ToPixel(curve.times[i], scene.time, plot.left(), plot.right()),
                            ToPixel(curve.values[i], values, plot.bottom(), plot.top()));
        if (i == 0) {
            path.moveTo(point);
        } else if (scene.sampleAndHold) {
            path.lineTo(point.x(), path.currentPosition().y());
            path.lineTo(point);
        } else {
            path.lineTo(point);
        }
    }
    QPen pen(ColourOf(scene.colours[index % scene.colours.size()]));
    pen.setWidthF(1.5);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

}  // namespace

QRectF PlotRectOf(const QRectF& frame) {
    return frame.adjusted(kLeftRoom, kTopRoom, -kRightRoom, -kBottomRoom);
}

void PaintGraph(QPainter& painter, const QRectF& frame, const GraphScene& scene) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot = PlotRectOf(frame);
    const QFontMetricsF metrics(painter.font());
    painter.fillRect(plot, kPlotBackground);

    std::string timeUnit;
    for (const GraphCurve& curve : scene.curves) {
        if (!curve.timeUnit.empty()) {
            timeUnit = curve.timeUnit;
            break;
        }
    }
    PaintTimeAxis(painter, plot, scene.time, timeUnit, scene.grid);
    if (scene.axes.leftSignal) {
        PaintValueAxis(painter, plot, scene.left, true, SignalUnit(*scene.axes.leftSignal),
                       scene.grid);
    }
    if (scene.axes.rightSignal) {
        PaintValueAxis(painter, plot, scene.right, false, SignalUnit(*scene.axes.rightSignal),
                       scene.grid && !scene.axes.leftSignal);
    }

    painter.save();
    painter.setClipRect(plot);
    for (size_t i = 0; i < scene.curves.size(); ++i) PaintCurve(painter, plot, scene, i);
    if (scene.cursorTime) {
        const double x = ToPixel(*scene.cursorTime, scene.time, plot.left(), plot.right());
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    if (scene.rubberBand) {
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(*scene.rubberBand);
    }
    painter.restore();

    painter.setPen(Qt::black);
    painter.drawRect(plot);
    const QString title = Q(scene.caption + " " + (scene.zoomed ? "Zoomed " : ""));
    painter.drawText(QPointF(frame.left() + 5, frame.top() + 5 + metrics.ascent()), title);
    if (!scene.readout.empty()) {
        const QString readout = Q(scene.readout);
        painter.drawText(QPointF(frame.right() - 10 - metrics.horizontalAdvance(readout),
                                 frame.top() + 5 + metrics.ascent()),
                         readout);
    }
    painter.restore();
}

}  // namespace kelcmd::dialogs
