#include "dialogs/report/report_painter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace kelcmd::dialogs {
namespace {

constexpr double kUnitsPerInch = 2540;  // logical units are hundredths of a millimetre

ReportMetrics MetricsFor(double width) {
    ReportMetrics metrics;
    metrics.width = [](const std::string& text, ReportFont font) {
        return QFontMetricsF(ReportQFont(font)).horizontalAdvance(QString::fromStdString(text));
    };
    metrics.textHeight = QFontMetricsF(ReportQFont(ReportFont::kRegular))
                             .boundingRect(QStringLiteral("TestString"))
                             .height();
    metrics.rightEdge = width;
    return metrics;
}

}  // namespace

QFont ReportQFont(ReportFont font) {
    QFont qfont(QStringLiteral("Arial"));
    qfont.setPixelSize(static_cast<int>(kReportCharacterHeight));
    qfont.setWeight(font == ReportFont::kBold ? QFont::Bold : static_cast<QFont::Weight>(450));
    return qfont;
}

double ReportUnitsPerPixel(const QPaintDevice& device) {
    const int dpi = device.logicalDpiX() > 0 ? device.logicalDpiX() : 96;
    return kUnitsPerInch / dpi;
}

ReportLayout PaintCommandReport(QPainter& painter, const CCommand& command,
                                const ReportOptions& options, double width, double x, double y,
                                bool draw) {
    const ReportLayout layout = LayOutCommandReport(command, options, MetricsFor(width), x, y);
    if (!draw) return layout;
    painter.save();
    // Fonts are measured in logical units; the painter maps them to the device.
    const double scale = 1.0 / ReportUnitsPerPixel(*painter.device());
    painter.scale(scale, scale);
    painter.setPen(Qt::black);
    const double ascent = QFontMetricsF(ReportQFont(ReportFont::kRegular)).ascent();
    for (const ReportText& text : layout.texts) {
        painter.setFont(ReportQFont(text.font));
        painter.drawText(QPointF(text.x, text.y + ascent), QString::fromStdString(text.text));
    }
    painter.restore();
    return layout;
}

QImage CommandReportImage(const CCommand& command, const ReportOptions& options,
                          double widthUnits) {
    QImage measure(1, 1, QImage::Format_RGB32);
    QPainter probe(&measure);
    const ReportLayout size = PaintCommandReport(probe, command, options, widthUnits, 0, 0, false);
    probe.end();
    const double perPixel = ReportUnitsPerPixel(measure);
    QImage image(static_cast<int>(widthUnits / perPixel) + 1,
                 static_cast<int>(size.bottom / perPixel) + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintCommandReport(painter, command, options, widthUnits);
    return image;
}

bool PrintCommandReportToPdf(const CCommand& command, const ReportOptions& options,
                             const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const double width = writer.width() * ReportUnitsPerPixel(writer);
    PaintCommandReport(painter, command, options, width, 0, 0);
    return painter.end();
}

}  // namespace kelcmd::dialogs
