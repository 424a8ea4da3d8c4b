#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "api/recorded_data.h"
#include "dialogs/graph/graph_model.h"
#include "dialogs/graph/graph_painter.h"

namespace kelcmd::dialogs {

enum class GraphKind { kStandard = 0, kError = 1 };

inline constexpr const char* kNoVisibleCurve = "No visible curve!";
inline constexpr const char* kZoomHint =
    "Zooming: Press the left mouse button and drag the zooming rectangle!";

// The state of the "Recorded Data" window without its widgets: the data set and its error curves,
// which curves are shown, display mode, grid, cursor, measure and zoom, and the layout of the
// graphs on a canvas. It paints through PaintGraph onto any painter.
class RecordedDataView {
  public:
    struct Frames {
        QRectF standard;
        std::optional<QRectF> error;
    };

    // Takes a new data set: error curves are derived again, zoom and cursor reset.
    void SetData(CRecordedData data);
    const CRecordedData& Data() const { return data_; }
    bool HasErrorGraph() const { return !errors_.empty(); }

    // The curve list: the recorded curves first, then the error curves.
    size_t CurveCount() const { return data_.Curves().size() + errors_.size(); }
    GraphCurve Curve(size_t index) const;
    GraphKind GraphOf(size_t index) const;
    bool CurveShown(size_t index) const;
    void SetCurveShown(size_t index, bool shown);
    void ShowAllCurves();
    // The curve whose Max, Min and Mean are shown and to which the attached cursor snaps.
    void SelectCurve(size_t index) { selected_ = index; }
    size_t SelectedCurve() const { return selected_; }
    std::optional<Statistics> SelectedStatistics() const;
    std::string SelectedUnit() const;

    // 0 "Linear Mode", 1 "Sample && Hold": held by every recorded curve's style.
    void SetDisplayMode(int mode);
    int DisplayMode() const { return displayMode_; }
    void SetGrid(bool on) { grid_ = on; }
    bool Grid() const { return grid_; }
    // "" or the message to show ("No visible curve!" for an attached cursor without a curve;
    // the cursor then stays off).
    std::string SetCursorMode(CursorMode mode);
    CursorMode Cursor() const { return cursor_; }
    void SetMeasure(Measure measure) { measure_ = measure; }

    // The plot area (canvas less 20 left, 30 top, 50 bottom) split into the graphs: with error
    // curves the standard graph takes the upper two thirds and the error graph the rest, 5 below.
    Frames Layout(const QSizeF& canvas) const;
    std::optional<GraphKind> GraphAt(const QPointF& point, const QSizeF& canvas) const;
    GraphScene Scene(GraphKind kind, const QRectF& frame) const;

    // The cursor follows the point (snapping to the curve's samples when attached).
    void MoveCursor(const QPointF& point, const QSizeF& canvas);
    std::optional<double> CursorTime(GraphKind kind) const;
    std::string Readout(GraphKind kind) const;

    // Zooms the graph under the rectangle (canvas pixels) to it; a rectangle of zero width or
    // height is ignored (false).
    bool Zoom(const QRectF& pixels, const QSizeF& canvas);
    void ZoomOut();
    bool Zoomed(GraphKind kind) const { return zoom_[Index(kind)].has_value(); }
    void SetRubberBand(std::optional<QRectF> band) { rubberBand_ = band; }

    // The window's canvas: hint and graphs.
    void Paint(QPainter& painter, const QSizeF& canvas) const;
    // One graph alone filling the plot area, on a white page: the picture for bitmaps, the
    // clipboard and the printer.
    void PaintPicture(QPainter& painter, const QSizeF& canvas, GraphKind kind) const;

  private:
    struct ZoomWindow {
        Range time;
        Range left;
        Range right;
    };
    static size_t Index(GraphKind kind) { return static_cast<size_t>(kind); }
    std::vector<GraphCurve> CurvesOf(GraphKind kind) const;
    std::optional<size_t> CursorCurve(GraphKind kind) const;  // index within the graph's curves

    CRecordedData data_;
    std::vector<GraphCurve> errors_;
    size_t selected_ = 0;
    int displayMode_ = 0;
    bool grid_ = true;
    CursorMode cursor_ = CursorMode::kOff;
    Measure measure_ = Measure::kNone;
    std::array<std::optional<ZoomWindow>, 2> zoom_;
    std::array<std::optional<double>, 2> cursorTime_;
    std::optional<QRectF> rubberBand_;
};

}  // namespace kelcmd::dialogs
