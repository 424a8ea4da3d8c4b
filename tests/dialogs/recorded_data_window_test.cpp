// The "Recorded Data" window headless: its graphs as pixels, its files and its printout.
#include "dialogs/graph/recorded_data_window.h"

#include <QFile>
#include <QImage>
#include <QPaintEngine>
#include <QPrinter>
#include <QTemporaryDir>

#include "api/recorded_data_file.h"
#include "dialog_test_support.h"
#include "dialogs/graph/graph_printout.h"

namespace kelcmd::testing {
namespace {

using namespace kelcmd::dialogs;

// A move: position must and is (with a lag) and the current.
CRecordedData Move(bool withActual = true) {
    std::vector<int16_t> must, is, current;
    for (int i = 0; i < 200; ++i) {
        must.push_back(static_cast<int16_t>(i * 50));
        is.push_back(static_cast<int16_t>(i * 50 - (i > 0 ? 40 : 0)));
        current.push_back(static_cast<int16_t>(i < 100 ? 300 : -300));
    }
    CRecordedData data;
    data.AppendSamples(0, 0, must, 1, "ms");
    if (withActual) data.AppendSamples(1, 1, is, 1, "ms");
    data.AppendSamples(2, 5, current, 1, "ms");
    return data;
}

bool IsRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// Records the texts a painting writes.
class TextRecorder final : public QPaintDevice {
  public:
    class Engine final : public QPaintEngine {
      public:
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override {
            texts.push_back(item.text().toStdString());
        }
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        Type type() const override { return User; }
        std::vector<std::string> texts;
    };
    QPaintEngine* paintEngine() const override { return &engine_; }
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return 4000;
            case PdmHeight:
                return 5600;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 480;
            case PdmDepth:
                return 32;
            default:
                return QPaintDevice::metric(metric);
        }
    }
    mutable Engine engine_;
};

class RecordedDataWindowTest : public DialogTest {
  protected:
    QTemporaryDir folder_;
    std::string Path(const char* name) { return folder_.filePath(name).toStdString(); }
};

TEST_F(RecordedDataWindowTest, ErrorGraphOnlyWithASetPointAndActualPair) {
    RecordedDataWindow paired(Move());
    EXPECT_TRUE(paired.View().HasErrorGraph());
    EXPECT_EQ(paired.View().Curve(3).name, "error position");
    const auto split = paired.View().Layout(QSizeF(650, 600));
    ASSERT_TRUE(split.error);
    EXPECT_NEAR(split.standard.height(), 520.0 * 2 / 3, 1);

    RecordedDataWindow alone(Move(false));
    EXPECT_FALSE(alone.View().HasErrorGraph());
    const auto whole = alone.View().Layout(QSizeF(650, 600));
    EXPECT_FALSE(whole.error);
    EXPECT_EQ(whole.standard, QRectF(20, 30, 630, 520));
}

TEST_F(RecordedDataWindowTest, FirstCurveIsDrawnInsideThePlotAreaOnly) {
    RecordedDataWindow window(Move());
    const QSize canvas(650, 600);
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        window.View().Paint(painter, canvas);
    }
    const auto frames = window.View().Layout(canvas);
    const QRectF plots[] = {PlotRectOf(frames.standard), PlotRectOf(*frames.error)};
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!IsRed(image.pixel(x, y))) continue;
            const QPointF point(x + 0.5, y + 0.5);
            (plots[0].contains(point) || plots[1].contains(point) ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

TEST_F(RecordedDataWindowTest, AttachedCursorSnapsAndNeedsAVisibleCurve) {
    RecordedDataWindow window(Move(false));
    RecordingPrompt prompt;
    RecordedDataView& view = window.View();
    for (size_t i = 0; i < view.CurveCount(); ++i) view.SetCurveShown(i, false);
    EXPECT_EQ(view.SetCursorMode(CursorMode::kAttached), "No visible curve!");
    EXPECT_EQ(view.Cursor(), CursorMode::kOff);

    view.ShowAllCurves();
    EXPECT_EQ(view.SetCursorMode(CursorMode::kAttached), "");
    const QSizeF canvas(650, 600);
    const QRectF plot = PlotRectOf(view.Layout(canvas).standard);
    view.MoveCursor(QPointF(plot.center().x() + 0.3, plot.center().y()), canvas);
    const std::optional<double> time = view.CursorTime(GraphKind::kStandard);
    ASSERT_TRUE(time);
    EXPECT_EQ(*time, std::round(*time));  // on a sample
    EXPECT_EQ(view.Readout(GraphKind::kStandard).rfind("Attached Cursor: ", 0), 0u);
}

TEST_F(RecordedDataWindowTest, ZoomIgnoresAnEmptyRectangleAndZoomsOutAgain) {
    RecordedDataWindow window(Move());
    RecordedDataView& view = window.View();
    const QSizeF canvas(650, 600);
    const QRectF plot = PlotRectOf(view.Layout(canvas).standard);
    EXPECT_FALSE(view.Zoom(QRectF(plot.center(), QSizeF(0, 40)), canvas));
    EXPECT_FALSE(view.Zoom(QRectF(plot.center(), QSizeF(40, 0)), canvas));
    EXPECT_TRUE(view.Zoom(QRectF(plot.center(), QSizeF(40, 30)), canvas));
    const GraphScene zoomed = view.Scene(GraphKind::kStandard, view.Layout(canvas).standard);
    EXPECT_TRUE(zoomed.zoomed);
    EXPECT_LT(zoomed.time.Span(), 199);
    view.ZoomOut();
    EXPECT_FALSE(view.Zoomed(GraphKind::kStandard));
}

TEST_F(RecordedDataWindowTest, FilesWrittenByTheWindowLoadBack) {
    RecordedDataWindow window(Move());
    window.show();
    QApplication::processEvents();
    ASSERT_TRUE(window.SaveFile(Path("move.rda"), 1, GraphKind::kStandard));
    RecordedDataWindow loaded(CRecordedData{});
    ASSERT_TRUE(loaded.LoadFile(Path("move.rda")));
    EXPECT_EQ(loaded.View().Data(), window.View().Data());
    EXPECT_EQ(loaded.View().CurveCount(), 4u);

    ASSERT_TRUE(window.SaveFile(Path("move.bmp"), 3, GraphKind::kError));
    const QImage bitmap(QString::fromStdString(Path("move.bmp")));
    EXPECT_EQ(bitmap.size(), window.CanvasSize());

    ASSERT_TRUE(window.SaveFile(Path("move.txt"), 2, GraphKind::kStandard));
    QFile text(QString::fromStdString(Path("move.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(text.readLine().startsWith("Time\tposition must\t"));

    // Not a recording: refused, the data stay.
    QFile other(QString::fromStdString(Path("other.rda")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("\x12rdaFileVersion_1.6");
    other.close();
    RecordingPrompt prompt;
    EXPECT_FALSE(loaded.LoadFile(Path("other.rda")));
    EXPECT_EQ(loaded.View().CurveCount(), 4u);
}

TEST_F(RecordedDataWindowTest, PrintoutHasHeaderDateFooterAndOnePage) {
    RecordedDataWindow window(Move());
    window.show();
    QApplication::processEvents();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(Path("graph.pdf")));
    ASSERT_TRUE(window.Print(printer, GraphKind::kStandard));
    QFile pdf(QString::fromStdString(Path("graph.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page/") + bytes.count("/Type /Page "),
              1);

    TextRecorder device;
    const QDateTime when(QDate(2026, 3, 5), QTime(9, 7));
    {
        QPainter painter(&device);
        PaintPrintout(
            painter, QSizeF(4000, 5600), QSizeF(650, 600),
            [&](QPainter& p) {
                window.View().PaintPicture(p, QSizeF(650, 600), GraphKind::kStandard);
            },
            when);
    }
    const std::vector<std::string>& texts = device.engine_.texts;
    for (const char* expected : {"KEL_Tessaro 1.71 Recorded Data", "quendel motion ag",
                                 "5. March 2026 09:07", "Page 1/1", "TimeBase: [s]"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    }
}

TEST(GraphPrintout, PictureFitsBetweenHeaderAndFooterKeepingItsShape) {
    struct Row {
        QSizeF picture;
        QRectF band;
        QRectF place;
    };
    const std::vector<Row> rows = {
        {{800, 600}, {200, 100, 4000, 6000}, {200, 100, 4000, 3000}},   // portrait page
        {{800, 600}, {200, 100, 6000, 3000}, {1200, 100, 4000, 3000}},  // landscape page
        {{0, 600}, {200, 100, 6000, 3000}, {200, 100, 0, 0}},
    };
    for (const Row& row : rows) EXPECT_EQ(FitPicture(row.picture, row.band), row.place);
}

}  // namespace
}  // namespace kelcmd::testing
