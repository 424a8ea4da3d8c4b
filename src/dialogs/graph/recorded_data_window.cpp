#include "dialogs/graph/recorded_data_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "api/recorded_data_file.h"
#include "dialogs/graph/graph_printout.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

constexpr int kBaseWidth = 800;
constexpr int kBaseHeight = 600;

QRadioButton* AddRadio(QButtonGroup* group, QVBoxLayout* layout, const char* label, int id) {
    auto* button = new QRadioButton(label);
    button->setObjectName(ObjectNameFor(label));
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

QPushButton* AddButton(QVBoxLayout* layout, const char* label) {
    auto* button = new QPushButton(label);
    button->setObjectName(ObjectNameFor(label));
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

QLineEdit* AddField(QFormLayout* layout, const char* label) {
    auto* field = new QLineEdit;
    field->setObjectName(ObjectNameFor(label));
    field->setReadOnly(true);
    layout->addRow(label, field);
    return field;
}

// A read-only statistics field that asks for its measure read-out when it gets the focus.
class MeasureFilter final : public QObject {
  public:
    MeasureFilter(RecordedDataView& view, Measure measure, QWidget* canvas, QObject* parent)
        : QObject(parent), view_(view), measure_(measure), canvas_(canvas) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            view_.SetMeasure(measure_);
            canvas_->update();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    RecordedDataView& view_;
    Measure measure_;
    QWidget* canvas_;
};

}  // namespace

GraphCanvas::GraphCanvas(RecordedDataView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName("graph");
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setMinimumSize(300, 200);
}

void GraphCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    view_.Paint(painter, size());
}

void GraphCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !view_.GraphAt(event->position(), size())) return;
    dragStart_ = event->position();
    grabMouse();
}

void GraphCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (dragStart_) {
        view_.SetRubberBand(QRectF(*dragStart_, event->position()).normalized());
    } else {
        view_.MoveCursor(event->position(), size());
    }
    update();
}

void GraphCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragStart_) return;
    releaseMouse();
    const QRectF band = QRectF(*dragStart_, event->position()).normalized();
    dragStart_.reset();
    view_.SetRubberBand(std::nullopt);
    view_.Zoom(band, size());
    update();
}

void GraphCanvas::mouseDoubleClickEvent(QMouseEvent*) {
    view_.ZoomOut();
    update();
}

void GraphCanvas::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* out = menu.addAction("Zoom out");
    out->setEnabled(view_.Zoomed(GraphKind::kStandard) || view_.Zoomed(GraphKind::kError));
    if (menu.exec(event->globalPos()) == out) {
        view_.ZoomOut();
        update();
    }
}

RecordedDataWindow::RecordedDataWindow(CRecordedData data, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Recorded Data");
    setObjectName("recorded_data");
    view_.SetData(std::move(data));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    canvas_ = new GraphCanvas(view_, this);
    layout->addWidget(canvas_, 1);
    auto* column = new QWidget(this);
    column->setFixedWidth(kControlColumn);
    layout->addWidget(column);
    BuildControls(column);
    FillCurveList();
    setMinimumSize(kBaseWidth * 4 / 5, kBaseHeight * 4 / 5);
    resize(kBaseWidth, kBaseHeight);
}

QSize RecordedDataWindow::CanvasSize() const {
    return canvas_->size();
}

void RecordedDataWindow::BuildControls(QWidget* column) {
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(4, 6, 6, 6);
    layout->setSpacing(3);

    auto* mode = new QGroupBox("Display Mode");
    auto* modeLayout = new QVBoxLayout(mode);
    modeGroup_ = new QButtonGroup(this);
    AddRadio(modeGroup_, modeLayout, "Linear Mode", 0);
    AddRadio(modeGroup_, modeLayout, "Sample && Hold", 1);
    modeGroup_->button(view_.DisplayMode())->setChecked(true);
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        view_.SetDisplayMode(id);
        canvas_->update();
    });
    layout->addWidget(mode);

    grid_ = new QCheckBox("&Grid");
    grid_->setObjectName("grid");
    grid_->setChecked(view_.Grid());
    connect(grid_, &QCheckBox::toggled, this, [this](bool on) {
        view_.SetGrid(on);
        canvas_->update();
    });
    layout->addWidget(grid_);

    curves_ = new QListWidget;
    layout->addWidget(NewFieldLabel("Available Curves", *curves_));
    curves_->setObjectName("available_curves");
    layout->addWidget(curves_, 1);
    connect(curves_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        view_.SetCurveShown(static_cast<size_t>(curves_->row(item)),
                            item->checkState() == Qt::Checked);
        canvas_->update();
    });
    connect(curves_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        view_.SelectCurve(static_cast<size_t>(row));
        ShowStatistics();
        canvas_->update();
    });
    QPushButton* all = AddButton(layout, "Select &All");
    connect(all, &QPushButton::clicked, this, [this] {
        view_.ShowAllCurves();
        FillCurveList();
    });

    auto* fields = new QFormLayout;
    max_ = AddField(fields, "Max");
    min_ = AddField(fields, "Min");
    mean_ = AddField(fields, "Mean");
    max_->installEventFilter(new MeasureFilter(view_, Measure::kMax, canvas_, this));
    min_->installEventFilter(new MeasureFilter(view_, Measure::kMin, canvas_, this));
    mean_->installEventFilter(new MeasureFilter(view_, Measure::kMean, canvas_, this));
    layout->addLayout(fields);

    auto* cursor = new QGroupBox("Cursor");
    auto* cursorLayout = new QVBoxLayout(cursor);
    cursorGroup_ = new QButtonGroup(this);
    AddRadio(cursorGroup_, cursorLayout, "Off", 0)->setChecked(true);
    AddRadio(cursorGroup_, cursorLayout, "Free Cursor", 1);
    AddRadio(cursorGroup_, cursorLayout, "Attached Cursor", 2);
    connect(cursorGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        const std::string message = view_.SetCursorMode(static_cast<CursorMode>(id));
        if (!message.empty()) {
            cursorGroup_->button(0)->setChecked(true);
            CurrentPrompt().ShowMessage(message);
        }
        canvas_->update();
    });
    layout->addWidget(cursor);

    connect(AddButton(layout, "&Load"), &QPushButton::clicked, this, [this] { OnLoad(); });
    connect(AddButton(layout, "&Save && Export"), &QPushButton::clicked, this,
            [this] { OnSave(); });
    connect(AddButton(layout, "&Copy to Clipboard"), &QPushButton::clicked, this,
            [this] { OnCopy(); });
    connect(AddButton(layout, "&Print"), &QPushButton::clicked, this, [this] { OnPrint(); });
    connect(AddButton(layout, "&Exit"), &QPushButton::clicked, this, &QDialog::accept);
}

void RecordedDataWindow::FillCurveList() {
    filling_ = true;
    curves_->clear();
    for (size_t i = 0; i < view_.CurveCount(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(view_.Curve(i).name), curves_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(view_.CurveShown(i) ? Qt::Checked : Qt::Unchecked);
        const Rgb colour = CurveColours(view_.CurveCount())[i];
        item->setForeground(QColor(colour.red, colour.green, colour.blue));
    }
    filling_ = false;
    if (view_.CurveCount() > 0) curves_->setCurrentRow(static_cast<int>(view_.SelectedCurve()));
    ShowStatistics();
    canvas_->update();
}

void RecordedDataWindow::ShowStatistics() {
    const std::optional<Statistics> stats = view_.SelectedStatistics();
    max_->setText(stats ? QString::fromStdString(FieldText(stats->maximum)) : QString());
    min_->setText(stats ? QString::fromStdString(FieldText(stats->minimum)) : QString());
    mean_->setText(stats ? QString::fromStdString(FieldText(stats->mean)) : QString());
}

bool RecordedDataWindow::LoadFile(const std::string& path) {
    CRecordedData data = view_.Data();
    if (LoadRecordedDataFile(path, data) != RecordedDataLoad::kLoaded) return false;
    view_.SetData(std::move(data));
    cursorGroup_->button(0)->setChecked(true);
    view_.SetCursorMode(CursorMode::kOff);
    modeGroup_->button(view_.DisplayMode())->setChecked(true);
    FillCurveList();
    return true;
}

bool RecordedDataWindow::SaveFile(const std::string& path, int filter, GraphKind graph) {
    switch (filter) {
        case 1:
            return SaveRecordedDataFile(path, view_.Data());
        case 2:
            return ExportRecordedDataText(path, view_.Data());
        case 3:
            return Picture(graph).save(QString::fromStdString(path), "BMP");
        default:
            return false;
    }
}

QImage RecordedDataWindow::Picture(GraphKind graph) const {
    QImage image(canvas_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    view_.PaintPicture(painter, image.size(), graph);
    return image;
}

bool RecordedDataWindow::Print(QPrinter& printer, GraphKind graph) const {
    printer.setDocName(kPrintJobName);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QSizeF picture = canvas_->size();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    PaintPrintout(
        painter, page.size(), picture,
        [this, picture, graph](QPainter& p) { view_.PaintPicture(p, picture, graph); },
        QDateTime::currentDateTime());
    return painter.end();
}

std::optional<GraphKind> RecordedDataWindow::ChooseGraph() {
    if (!view_.HasErrorGraph()) return GraphKind::kStandard;
    SelectGraphDialog dialog(lastChoice_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    lastChoice_ = dialog.Choice();
    return lastChoice_;
}

void RecordedDataWindow::OnLoad() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Load", QString(), "RecordedData Files (*.rda)");
    if (!path.isEmpty()) LoadFile(path.toStdString());
}

void RecordedDataWindow::OnSave() {
    repaint();
    static const QStringList kFilters = {"RecordedData Files (*.rda)", "ASCII Files (*.txt)",
                                         "Windows Bitmap (*.bmp)"};
    static const QStringList kSuffixes = {"rda", "txt", "bmp"};
    QString chosen;
    QString path = QFileDialog::getSaveFileName(this, "Save && Export", QString(),
                                                kFilters.join(";;"), &chosen);
    if (path.isEmpty()) return;
    const int filter = std::max(0, static_cast<int>(kFilters.indexOf(chosen))) + 1;
    if (QFileInfo(path).suffix().isEmpty()) path += "." + kSuffixes[filter - 1];
    GraphKind graph = GraphKind::kStandard;
    if (filter == 3) {
        const std::optional<GraphKind> choice = ChooseGraph();
        if (!choice) return;
        graph = *choice;
    }
    SaveFile(path.toStdString(), filter, graph);
}

void RecordedDataWindow::OnCopy() {
    const std::optional<GraphKind> graph = ChooseGraph();
    if (!graph) return;
    QApplication::clipboard()->setImage(Picture(*graph));
    CurrentPrompt().ShowMessage("Graphic copied to clipboard!");
}

void RecordedDataWindow::OnPrint() {
    const std::optional<GraphKind> graph = ChooseGraph();
    if (!graph) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!Print(printer, *graph)) {
        CurrentPrompt().ShowMessage("Cannot start print job.");
        return;
    }
    CurrentPrompt().ShowMessage("Graphic printed!");
}

SelectGraphDialog::SelectGraphDialog(GraphKind initial, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Select Graph");
    auto* layout = new QVBoxLayout(this);
    group_ = new QButtonGroup(this);
    AddRadio(group_, layout, "Standard Graph", 0);
    AddRadio(group_, layout, "Error Graph", 1);
    group_->button(static_cast<int>(initial))->setChecked(true);
    AddOkCancelRow(*this, *layout);
}

GraphKind SelectGraphDialog::Choice() const {
    return group_->checkedId() == 1 ? GraphKind::kError : GraphKind::kStandard;
}

int ShowRecordedData(CRecordedData data) {
    RecordedDataWindow window(std::move(data), QApplication::activeWindow());
    window.exec();
    return 1;
}

}  // namespace kelcmd::dialogs
