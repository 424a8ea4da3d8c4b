#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <optional>
#include <string>

#include "dialogs/graph/recorded_data_view.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPrinter;

namespace kelcmd::dialogs {

// The graphs of the "Recorded Data" window, with the mouse: dragging the left button zooms to the
// rectangle, a double click (or "Zoom out" from the context menu) shows everything again, and the
// cursor follows the mouse.
class GraphCanvas final : public QWidget {
    Q_OBJECT
  public:
    GraphCanvas(RecordedDataView& view, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    RecordedDataView& view_;
    std::optional<QPointF> dragStart_;
};

// "Recorded Data": the graphs on the left, the control column of 150 pixels on the right.
class RecordedDataWindow final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kControlColumn = 150;

    explicit RecordedDataWindow(CRecordedData data, QWidget* parent = nullptr);

    // The base size of 800 x 600.
    QSize sizeHint() const override { return {800, 600}; }
    RecordedDataView& View() { return view_; }
    QSize CanvasSize() const;

    // The file actions behind the buttons, without their file dialogs. Load: false (and nothing
    // changed) for a file that is not a recording of this version. Save: filter 1 ".rda", 2 ".txt",
    // 3 ".bmp" of `graph`.
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path, int filter, GraphKind graph);
    // The picture of one graph at the canvas's size, as bitmaps and the clipboard get it.
    QImage Picture(GraphKind graph) const;
    // Prints `graph` on one page of `printer`; false when the job cannot start.
    bool Print(QPrinter& printer, GraphKind graph) const;

    // The graph for an export: the standard one, or the choice of "Select Graph" when there is an
    // error graph (nothing: cancelled).
    std::optional<GraphKind> ChooseGraph();

  private:
    void BuildControls(QWidget* column);
    void FillCurveList();
    void ShowStatistics();
    void OnLoad();
    void OnSave();
    void OnCopy();
    void OnPrint();

    RecordedDataView view_;
    GraphCanvas* canvas_ = nullptr;
    QListWidget* curves_ = nullptr;
    QLineEdit* max_ = nullptr;
    QLineEdit* min_ = nullptr;
    QLineEdit* mean_ = nullptr;
    QButtonGroup* modeGroup_ = nullptr;
    QButtonGroup* cursorGroup_ = nullptr;
    QCheckBox* grid_ = nullptr;
    GraphKind lastChoice_ = GraphKind::kStandard;
    bool filling_ = false;
};

// "Select Graph": "Standard Graph" or "Error Graph", opening with the last choice.
class SelectGraphDialog final : public QDialog {
  public:
    SelectGraphDialog(GraphKind initial, QWidget* parent);
    GraphKind Choice() const;

  private:
    QButtonGroup* group_;
};

// Shows the window modally on `data`; 1 once it was shown.
int ShowRecordedData(CRecordedData data);

}  // namespace kelcmd::dialogs
