#pragma once
// The common look of the live charts: fonts, grid, margins and trace colours.

#include <QColor>
#include <QSize>
#include <QString>

class QCustomPlot;
class QCPGraph;
class QCPItemText;
class QCPLayer;

namespace drq::gui::chart {

// Trace colours of the strip charts (readable on white).
inline const QColor kTraceRed{0xD6, 0x1F, 0x1F};
inline const QColor kTraceGreen{0x1A, 0x9A, 0x2E};
inline const QColor kTraceBlue{0x1F, 0x4F, 0xD8};
inline const QColor kTraceIntensity{0x00, 0x80, 0x80};

// Names of the buffered layers that carry what moves with every frame: the
// cursors of the colour graphs and the traces of the strip charts.
inline constexpr const char* kCursorLayer = "cursor";
inline constexpr const char* kTraceLayer = "traces";

// Plain white background, light grid, small tick labels, no interactions, no
// antialiasing of the data (thousands of updates a second stay cheap).
void applyStyle(QCustomPlot& plot);

// Makes `title` the caption in the top left corner of its plot's axis
// rectangle (bold, dark grey on translucent white), showing `text`.
void styleTitle(QCPItemText& title, const QString& text);

// Adds a buffered layer above the main layer (once) and returns it.
QCPLayer* bufferedLayer(QCustomPlot& plot, const char* name);
inline QCPLayer* cursorLayer(QCustomPlot& plot) {
  return bufferedLayer(plot, kCursorLayer);
}

// The cross-in-circle cursor that marks the current measurement: a one-point
// graph on the cursor layer, at (x, y).
QCPGraph* addCursorGraph(QCustomPlot& plot, double x, double y);

// Lays out a colour plane's axis rectangle as a square (both axes on the same
// scale) centred in a widget of `size` pixels, with room for the tick labels,
// and fewer ticks on a small view so that they never run together. Call from
// resizeEvent before QCustomPlot's own.
void fitSquareAxisRect(QCustomPlot& plot, QSize size);

}  // namespace drq::gui::chart
