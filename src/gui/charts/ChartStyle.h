#pragma once
// The common look of the live charts: fonts, grid, margins and trace colours.

#include <QColor>
#include <QString>

class QCustomPlot;
class QCPLayer;

namespace drq::gui::chart {

// Trace colours of the strip charts (readable on white).
inline const QColor kTraceRed{0xD6, 0x1F, 0x1F};
inline const QColor kTraceGreen{0x1A, 0x9A, 0x2E};
inline const QColor kTraceBlue{0x1F, 0x4F, 0xD8};
inline const QColor kTraceIntensity{0x00, 0x80, 0x80};

// Name of the buffered layer that carries the cursors.
inline constexpr const char* kCursorLayer = "cursor";

// Plain white background, light grid, small tick labels, no interactions, no
// antialiasing of the data (thousands of updates a second stay cheap).
void applyStyle(QCustomPlot& plot);

// Adds the buffered cursor layer above the main layer (once) and returns it.
QCPLayer* cursorLayer(QCustomPlot& plot);

}  // namespace drq::gui::chart
