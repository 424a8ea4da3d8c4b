#pragma once

#include <QDateTime>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <functional>
#include <string>

namespace kelcmd::dialogs {

inline constexpr const char* kPrintHeader = "KEL_Tessaro 1.71 Recorded Data";
inline constexpr const char* kPrintCompany = "quendel motion ag";
inline constexpr const char* kPrintJobName = "KEL Recorded Data";

// "6. December 2026 16:05": the footer's print date.
std::string PrintDateText(const QDateTime& when);

// Where a picture goes on a page: as large as fits into `band` with its aspect ratio kept,
// horizontally centred, at the band's top.
QRectF FitPicture(const QSizeF& picture, const QRectF& band);

// One page in device pixels: the header with its rule, the footer with date, "Page 1/1" and its
// rule, and the picture (drawn by `paint` in its own units of `picture`) fitted between them and
// between x 200 and the right edge.
void PaintPrintout(QPainter& painter, const QSizeF& page, const QSizeF& picture,
                   const std::function<void(QPainter&)>& paint, const QDateTime& when);

}  // namespace kelcmd::dialogs
