#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "dialogs/report/command_report.h"

class QPainter;
class QPaintDevice;

namespace kelcmd::dialogs {

// The report fonts: "Arial", 220 logical units high, weights 450 and 700.
QFont ReportQFont(ReportFont font);

// Logical units (hundredths of a millimetre) per device pixel of `device`.
double ReportUnitsPerPixel(const QPaintDevice& device);

// Draws the report of `command` on whatever the painter paints (a window, an image, a printer or
// a PDF), in logical units, from (x, y) down. `width` is the surface width in logical units. With
// `draw` false nothing is drawn and only the extent is measured. Returns the layout.
ReportLayout PaintCommandReport(QPainter& painter, const CCommand& command,
                                const ReportOptions& options, double width, double x = 0,
                                double y = 0, bool draw = true);

// The report on a white image `widthUnits` logical units wide at 96 dots per inch.
QImage CommandReportImage(const CCommand& command, const ReportOptions& options, double widthUnits);

// Writes the report as a PDF file; false when the file cannot be written.
bool PrintCommandReportToPdf(const CCommand& command, const ReportOptions& options,
                             const QString& path);

}  // namespace kelcmd::dialogs
