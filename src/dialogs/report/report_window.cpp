#include "dialogs/report/report_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "command/command.h"
#include "dialogs/report/report_painter.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {
namespace {
// The report is laid out for a page this wide, so that the data bytes are listed.
constexpr double kReportWidthUnits = 19000;
}  // namespace

ReportCanvas::ReportCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName("report");
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    Resize();
}

ReportCanvas::~ReportCanvas() = default;

void ReportCanvas::SetCommand(std::unique_ptr<CCommand> command) {
    command_ = std::move(command);
    Resize();
    update();
}

void ReportCanvas::SetOptions(const ReportOptions& options) {
    options_ = options;
    Resize();
    update();
}

void ReportCanvas::Resize() {
    const double perPixel = ReportUnitsPerPixel(*this);
    double height = 1000;
    if (command_ != nullptr) {
        // Measured only: painting outside a paint event draws nothing.
        QImage scratch(1, 1, QImage::Format_RGB32);
        QPainter painter(&scratch);
        height =
            PaintCommandReport(painter, *command_, options_, kReportWidthUnits, 200, 200, false)
                .bottom;
    }
    setMinimumSize(static_cast<int>(kReportWidthUnits / perPixel),
                   static_cast<int>(height / perPixel) + 10);
}

void ReportCanvas::paintEvent(QPaintEvent*) {
    if (command_ == nullptr) return;
    QPainter painter(this);
    PaintCommandReport(painter, *command_, options_, kReportWidthUnits, 200, 200);
}

CommandReportWindow::CommandReportWindow(QWidget* parent)
    : QDialog(parent),
      canvas_(new ReportCanvas),
      style_(new QComboBox),
      hexadecimal_(new QCheckBox("&Hexadecimal")) {
    setObjectName("command_report");
    setWindowTitle("Command Report");
    style_->setObjectName("style");
    NameField(*style_, "Style");
    style_->addItems({"Message", "ByteStream", "Parameter"});
    hexadecimal_->setObjectName("hexadecimal");
    auto* scroll = new QScrollArea;
    scroll->setWidget(canvas_);
    scroll->setMinimumSize(640, 360);
    auto* print = new QPushButton("&Print...");
    print->setObjectName("print");
    print->setAutoDefault(false);
    auto* close = new QPushButton("&Close");
    close->setObjectName("ok");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(style_);
    buttons->addWidget(hexadecimal_);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(buttons);
    connect(style_, &QComboBox::currentIndexChanged, this, [this] { OptionsChanged(); });
    connect(hexadecimal_, &QCheckBox::toggled, this, [this] { OptionsChanged(); });
    connect(print, &QPushButton::clicked, this, [this] { Print(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void CommandReportWindow::ShowCommand(const CCommand& command) {
    canvas_->SetCommand(command.Clone());
}

void CommandReportWindow::OptionsChanged() {
    ReportOptions options = canvas_->Options();
    options.style = static_cast<ReportStyle>(style_->currentIndex());
    options.hexadecimal = hexadecimal_->isChecked();
    canvas_->SetOptions(options);
}

void CommandReportWindow::Print() {
    if (canvas_->Command() == nullptr) return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const double width = printer.width() * ReportUnitsPerPixel(printer);
    PaintCommandReport(painter, *canvas_->Command(), canvas_->Options(), width);
}

}  // namespace kelcmd::dialogs
