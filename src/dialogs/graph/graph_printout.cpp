#include "dialogs/graph/graph_printout.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <cstdio>

namespace kelcmd::dialogs {
namespace {

constexpr double kPageLeft = 200;

}  // namespace

std::string PrintDateText(const QDateTime& when) {
    static constexpr std::array<const char*, 12> kMonths = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const QDate date = when.date();
    const QTime time = when.time();
    char text[64];
    std::snprintf(text, sizeof text, "%i. %s %i %.2i:%.2i", date.day(),
                  kMonths[static_cast<size_t>(std::clamp(date.month(), 1, 12) - 1)], date.year(),
                  time.hour(), time.minute());
    return text;
}

QRectF FitPicture(const QSizeF& picture, const QRectF& band) {
    if (picture.isEmpty() || band.isEmpty()) return {band.topLeft(), QSizeF(0, 0)};
    const double scale = std::min(band.width() / picture.width(), band.height() / picture.height());
    const QSizeF size = picture * scale;
    return {QPointF(band.left() + (band.width() - size.width()) / 2, band.top()), size};
}

void PaintPrintout(QPainter& painter, const QSizeF& page, const QSizeF& picture,
                   const std::function<void(QPainter&)>& paint, const QDateTime& when) {
    const double width = page.width();
    const double height = page.height();
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();
    painter.setPen(Qt::black);

    const double headerTop = 10;
    painter.drawText(QPointF(kPageLeft, headerTop + metrics.ascent()), kPrintHeader);
    const QString company = kPrintCompany;
    painter.drawText(
        QPointF(width - 10 - metrics.horizontalAdvance(company), headerTop + metrics.ascent()),
        company);
    const double headerRule = headerTop + line + 20;
    painter.drawLine(QPointF(kPageLeft, headerRule), QPointF(width, headerRule));

    const double footerTop = height - 20 - line;
    painter.drawText(QPointF(kPageLeft, footerTop + metrics.ascent()),
                     QString::fromStdString(PrintDateText(when)));
    const QString pageText = "Page 1/1";
    painter.drawText(
        QPointF(width - 10 - metrics.horizontalAdvance(pageText), footerTop + metrics.ascent()),
        pageText);
    const double footerRule = footerTop - 20;
    painter.drawLine(QPointF(kPageLeft, footerRule), QPointF(width, footerRule));

    // The picture keeps clear of both rules.
    const double gap = line;
    const QRectF band(kPageLeft, headerRule + gap, width - kPageLeft,
                      footerRule - gap - (headerRule + gap));
    const QRectF place = FitPicture(picture, band);
    if (place.isEmpty()) return;
    painter.save();
    painter.translate(place.topLeft());
    painter.scale(place.width() / picture.width(), place.height() / picture.height());
    paint(painter);
    painter.restore();
}

}  // namespace kelcmd::dialogs
