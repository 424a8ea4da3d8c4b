#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kelcmd {
class CCommand;
}

namespace kelcmd::dialogs {

// The fonts of a report: regular, bold and the second regular one.
enum class ReportFont { kRegular, kBold, kRegular2 };

// How the messages of a command are shown.
enum class ReportStyle { kMessage, kByteStream, kParameter };

struct ReportOptions {
    ReportStyle style = ReportStyle::kMessage;
    bool hexadecimal = false;
    bool title = true;
    // The second renderer writes "| Trials: %i |" in the status line.
    bool shortTrials = false;
};

// One text of the report, at its logical position (y grows downwards).
struct ReportText {
    std::string text;
    double x = 0;
    double y = 0;
    ReportFont font = ReportFont::kRegular;
};

// Text extents in the logical units of the surface.
struct ReportMetrics {
    std::function<double(const std::string&, ReportFont)> width;
    double textHeight = 0;  // of "TestString"
    double rightEdge = 0;   // of the surface
};

struct ReportLayout {
    std::vector<ReportText> texts;
    double bottom = 0;     // y after the report
    double rightmost = 0;  // the largest x + text width
};

inline constexpr double kReportCharacterHeight = 220;
inline constexpr double kReportParagraphSpacing = 100;
inline constexpr double kReportLineSpacing = 40;
// Below this right edge the data bytes are not listed.
inline constexpr double kReportNarrowSurface = 2250;

// Lays out the report of `command` from (x, y): title, status, remark, then the outgoing and the
// incoming message in the chosen style. Nothing is drawn: the painter draws the texts.
ReportLayout LayOutCommandReport(const CCommand& command, const ReportOptions& options,
                                 const ReportMetrics& metrics, double x, double y);

// The title line ("KelBus Standard Command: MoveAbsolute ( 0x24 )") and the status line.
std::string ReportTitle(const CCommand& command);
std::string ReportStatusLine(const CCommand& command, bool shortTrials);
std::string ReportRemark(const CCommand& command);

}  // namespace kelcmd::dialogs
