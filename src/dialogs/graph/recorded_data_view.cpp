#include "dialogs/graph/recorded_data_view.h"

#include <QFont>
#include <cmath>

namespace kelcmd::dialogs {
namespace {

constexpr double kLeftMargin = 20;
constexpr double kTopMargin = 30;
constexpr double kBottomMargin = 50;
constexpr double kGraphGap = 5;
constexpr double kSmallestZoom = 2;  // pixels
constexpr int kFontPixels = 12;

// Sized in the canvas's own pixels, so that a picture scaled onto a printer page keeps its
// proportions.
void UsePictureFont(QPainter& painter) {
    QFont font = painter.font();
    font.setPixelSize(kFontPixels);
    painter.setFont(font);
}

}  // namespace

void RecordedDataView::SetData(CRecordedData data) {
    data_ = std::move(data);
    errors_ = DeriveErrorCurves(data_.Curves());
    if (!data_.Curves().empty()) displayMode_ = data_.Curves().front().style == 1 ? 1 : 0;
    selected_ = 0;
    zoom_ = {};
    cursorTime_ = {};
    rubberBand_.reset();
}

GraphCurve RecordedDataView::Curve(size_t index) const {
    const auto& curves = data_.Curves();
    if (index < curves.size()) return ToGraphCurve(curves[index]);
    if (index - curves.size() < errors_.size()) return errors_[index - curves.size()];
    return {};
}

GraphKind RecordedDataView::GraphOf(size_t index) const {
    return index < data_.Curves().size() ? GraphKind::kStandard : GraphKind::kError;
}

bool RecordedDataView::CurveShown(size_t index) const {
    return Curve(index).shown;
}

void RecordedDataView::SetCurveShown(size_t index, bool shown) {
    auto& curves = data_.Curves();
    if (index < curves.size()) {
        curves[index].shown = shown ? 1 : 0;
    } else if (index - curves.size() < errors_.size()) {
        errors_[index - curves.size()].shown = shown;
    }
}

void RecordedDataView::ShowAllCurves() {
    for (size_t i = 0; i < CurveCount(); ++i) SetCurveShown(i, true);
}

std::optional<Statistics> RecordedDataView::SelectedStatistics() const {
    if (selected_ >= CurveCount()) return std::nullopt;
    return CurveStatistics(Curve(selected_));
}

std::string RecordedDataView::SelectedUnit() const {
    return selected_ < CurveCount() ? SignalUnit(Curve(selected_).signal) : "";
}

void RecordedDataView::SetDisplayMode(int mode) {
    displayMode_ = mode == 1 ? 1 : 0;
    for (RecordedCurve& curve : data_.Curves()) curve.style = displayMode_;
}

std::string RecordedDataView::SetCursorMode(CursorMode mode) {
    cursorTime_ = {};
    if (mode == CursorMode::kAttached && !CursorCurve(GraphKind::kStandard) &&
        !CursorCurve(GraphKind::kError)) {
        cursor_ = CursorMode::kOff;
        return kNoVisibleCurve;
    }
    cursor_ = mode;
    return "";
}

RecordedDataView::Frames RecordedDataView::Layout(const QSizeF& canvas) const {
    const QRectF plot(kLeftMargin, kTopMargin, std::max(0.0, canvas.width() - kLeftMargin),
                      std::max(0.0, canvas.height() - kTopMargin - kBottomMargin));
    if (!HasErrorGraph()) return {plot, std::nullopt};
    const double split = plot.top() + plot.height() * 2 / 3;
    return {QRectF(plot.left(), plot.top(), plot.width(), split - plot.top()),
            QRectF(plot.left(), split + kGraphGap, plot.width(),
                   std::max(0.0, plot.bottom() - split - kGraphGap))};
}

std::optional<GraphKind> RecordedDataView::GraphAt(const QPointF& point,
                                                   const QSizeF& canvas) const {
    const Frames frames = Layout(canvas);
    if (PlotRectOf(frames.standard).contains(point)) return GraphKind::kStandard;
    if (frames.error && PlotRectOf(*frames.error).contains(point)) return GraphKind::kError;
    return std::nullopt;
}

std::vector<GraphCurve> RecordedDataView::CurvesOf(GraphKind kind) const {
    if (kind == GraphKind::kError) return errors_;
    std::vector<GraphCurve> curves;
    for (const RecordedCurve& curve : data_.Curves()) curves.push_back(ToGraphCurve(curve));
    return curves;
}

std::optional<size_t> RecordedDataView::CursorCurve(GraphKind kind) const {
    const std::vector<GraphCurve> curves = CurvesOf(kind);
    const size_t offset = kind == GraphKind::kError ? data_.Curves().size() : 0;
    if (selected_ >= offset && selected_ - offset < curves.size() &&
        curves[selected_ - offset].shown) {
        return selected_ - offset;
    }
    for (size_t i = 0; i < curves.size(); ++i) {
        if (curves[i].shown) return i;
    }
    return std::nullopt;
}

GraphScene RecordedDataView::Scene(GraphKind kind, const QRectF& frame) const {
    GraphScene scene;
    scene.caption = kind == GraphKind::kStandard ? "Standard Graph" : "Error Graph";
    scene.curves = CurvesOf(kind);
    // Colours follow the whole curve list, so a curve keeps its colour in either graph.
    const std::vector<Rgb> all = CurveColours(CurveCount());
    const size_t offset = kind == GraphKind::kError ? data_.Curves().size() : 0;
    scene.colours.assign(all.begin() + static_cast<std::ptrdiff_t>(offset), all.end());
    if (scene.colours.empty()) scene.colours.push_back({0, 0, 0});
    scene.axes = AssignAxes(scene.curves);
    const auto& zoom = zoom_[Index(kind)];
    scene.zoomed = zoom.has_value();
    scene.time = zoom ? zoom->time : TimeRange(scene.curves);
    scene.left = zoom ? zoom->left : ValueRange(scene.curves, scene.axes, Axis::kLeft);
    scene.right = zoom ? zoom->right : ValueRange(scene.curves, scene.axes, Axis::kRight);
    scene.sampleAndHold = displayMode_ == 1;
    scene.grid = grid_;
    scene.cursorTime = cursor_ != CursorMode::kOff ? cursorTime_[Index(kind)] : std::nullopt;
    scene.readout = Readout(kind);
    if (rubberBand_ && PlotRectOf(frame).intersects(*rubberBand_)) scene.rubberBand = rubberBand_;
    return scene;
}

void RecordedDataView::MoveCursor(const QPointF& point, const QSizeF& canvas) {
    if (cursor_ == CursorMode::kOff) return;
    const std::optional<GraphKind> kind = GraphAt(point, canvas);
    if (!kind) return;
    const Frames frames = Layout(canvas);
    const QRectF plot = PlotRectOf(*kind == GraphKind::kStandard ? frames.standard : *frames.error);
    const GraphScene scene = Scene(*kind, frames.standard);
    double time = FromPixel(point.x(), scene.time, plot.left(), plot.right());
    if (cursor_ == CursorMode::kAttached) {
        const std::optional<size_t> curve = CursorCurve(*kind);
        if (!curve) return;
        const std::optional<size_t> sample = NearestSample(scene.curves[*curve], time);
        if (!sample) return;
        time = scene.curves[*curve].times[*sample];
    }
    cursorTime_[Index(*kind)] = time;
}

std::optional<double> RecordedDataView::CursorTime(GraphKind kind) const {
    return cursorTime_[Index(kind)];
}

std::string RecordedDataView::Readout(GraphKind kind) const {
    const std::vector<GraphCurve> curves = CurvesOf(kind);
    const auto& time = cursorTime_[Index(kind)];
    if (cursor_ != CursorMode::kOff && time) {
        const std::optional<size_t> curve = CursorCurve(kind);
        if (!curve) return "";
        const GraphCurve& shown = curves[*curve];
        const std::optional<size_t> sample = NearestSample(shown, *time);
        const double value = sample ? shown.values[*sample] : 0;
        return CursorText(cursor_, *time, value, shown.timeUnit, SignalUnit(shown.signal));
    }
    if (measure_ != Measure::kNone && GraphOf(selected_) == kind) {
        const std::optional<Statistics> stats = SelectedStatistics();
        if (!stats) return "";
        const double value = measure_ == Measure::kMax   ? stats->maximum
                             : measure_ == Measure::kMin ? stats->minimum
                                                         : stats->mean;
        return MeasureText(measure_, value, SelectedUnit());
    }
    return "";
}

bool RecordedDataView::Zoom(const QRectF& pixels, const QSizeF& canvas) {
    const QRectF band = pixels.normalized();
    if (band.width() < kSmallestZoom || band.height() < kSmallestZoom) return false;
    const std::optional<GraphKind> kind = GraphAt(band.center(), canvas);
    if (!kind) return false;
    const Frames frames = Layout(canvas);
    const QRectF frame = *kind == GraphKind::kStandard ? frames.standard : *frames.error;
    const QRectF plot = PlotRectOf(frame);
    const QRectF inside = band.intersected(plot);
    if (inside.width() < kSmallestZoom || inside.height() < kSmallestZoom) return false;
    const GraphScene scene = Scene(*kind, frame);
    auto valueRange = [&](const Range& range) {
        return Range{FromPixel(inside.bottom(), range, plot.bottom(), plot.top()),
                     FromPixel(inside.top(), range, plot.bottom(), plot.top())};
    };
    zoom_[Index(*kind)] =
        ZoomWindow{{FromPixel(inside.left(), scene.time, plot.left(), plot.right()),
                    FromPixel(inside.right(), scene.time, plot.left(), plot.right())},
                   valueRange(scene.left),
                   valueRange(scene.right)};
    return true;
}

void RecordedDataView::ZoomOut() {
    zoom_ = {};
}

void RecordedDataView::Paint(QPainter& painter, const QSizeF& canvas) const {
    UsePictureFont(painter);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(kLeftMargin, kTopMargin - 8), kZoomHint);
    const Frames frames = Layout(canvas);
    PaintGraph(painter, frames.standard, Scene(GraphKind::kStandard, frames.standard));
    if (frames.error) PaintGraph(painter, *frames.error, Scene(GraphKind::kError, *frames.error));
}

void RecordedDataView::PaintPicture(QPainter& painter, const QSizeF& canvas, GraphKind kind) const {
    if (kind == GraphKind::kError && !HasErrorGraph()) kind = GraphKind::kStandard;
    UsePictureFont(painter);
    painter.fillRect(QRectF(QPointF(0, 0), canvas), Qt::white);
    const QRectF frame(kLeftMargin, kTopMargin / 2, std::max(0.0, canvas.width() - kLeftMargin),
                       std::max(0.0, canvas.height() - kTopMargin / 2 - kBottomMargin / 2));
    PaintGraph(painter, frame, Scene(kind, frame));
}

}  // namespace kelcmd::dialogs
