#pragma once
// The scope printout: a one-document report of the last capture, laid out
// with Qt's text engine and painted on any paged device (a printer chosen in
// the print dialog, or a PDF file).
//
// Content, in order: the title "Scope Screen Shot" (Arial 20 pt, or a font
// with Arial's metrics where Arial is missing), the version line (10 pt), the
// line "PANEL ID: <id>" when an ID is given, one empty line, when a comment is
// given the line "COMMENT:", the comment and one empty line, then the picture
// of the scope graph panel at its size on a 96 dpi screen, narrowed to the page.
// Every page shows the print date, the print time and "page N of M" at its
// foot.
//
// Everything lies inside the printable area (the paper less the device's
// margins) and above the foot. Long lines break at words (anywhere in a word
// longer than the line); a line that does not fit whole on a page goes to
// the next one, and so does the picture. The picture is embedded without
// loss at its full resolution.

#include <QDateTime>
#include <QImage>
#include <QPagedPaintDevice>
#include <QString>
#include <QStringList>

namespace drq::gui {

inline constexpr const char* kReportTitle = "Scope Screen Shot";
inline constexpr const char* kReportPanelIdPrefix = "PANEL ID: ";
inline constexpr const char* kReportCommentHeading = "COMMENT:";
// The comment is taken from a 1024-byte buffer: at most 1023 characters.
inline constexpr int kReportCommentMax = 1023;
inline constexpr double kReportTitlePoints = 20.0;
inline constexpr double kReportTextPoints = 10.0;

struct ScopeReport {
  QString version;  // the program's version text
  QString panelId;  // the sensor's ID; empty: no PANEL ID line
  QString comment;  // empty: no comment block
  // The scope graph panel as shown; its device pixel ratio says how much
  // finer than the screen it is (PanelPicture.h).
  QImage panel;
};

// The report's text lines in order ("" for an empty line); the picture
// follows them.
QStringList reportLines(const ScopeReport& report);

// The font families asked for, Arial first.
QStringList reportFontFamilies();

// Lays the report out on `device` and paints every page; `printedAt` is the
// time shown at the foot of each page. Returns the number of pages painted,
// or -1 when the device cannot be painted on (a printer that cannot be
// opened, a PDF file that cannot be written).
int paintScopeReport(const ScopeReport& report, QPagedPaintDevice& device,
                     const QDateTime& printedAt);

}  // namespace drq::gui
