#pragma once
// The two graphs of SCOPEP. Both show 128 samples on the x axis and carry two
// cursors. On the analogue graph the operator moves the cursors (a left click
// or drag moves the nearer one; with the keyboard: the arrow keys move the
// active cursor, Space switches to the other) and zooms (Ctrl + left drag
// selects the range to show; Enter, or the accessible action, shows the
// rectangle between the two cursors). The digital graph's cursors only
// follow the analogue graph's x positions.

#include <qcustomplot.h>

#include <array>
#include <span>

#include "core/scope/ScopeMath.h"

namespace drq::gui {

class ScopePlot final : public QCustomPlot {
  Q_OBJECT
 public:
  enum class Kind { Analogue, Digital };

  explicit ScopePlot(Kind kind, QWidget* parent = nullptr);

  Kind kind() const { return kind_; }

  // Fixed axes: x from 0 to xMax, y from yMin to yMax (restores a zoom). The
  // cursors are kept inside the new range.
  void setAxes(double xMax, double yMin, double yMax);
  QCPRange xRange() const { return xAxis->range(); }
  QCPRange yRange() const { return yAxis->range(); }

  // Cursor 0 or 1. Positions are kept inside the full axis range.
  ScopeCursor cursor(int index) const { return cursors_[slot(index)].position; }
  void setCursor(int index, ScopeCursor position);

  // Deletes every trace; adds one (128 points at x = 0, 1, ..., 127).
  void clearTraces();
  void addTrace(std::span<const std::uint16_t> values, const QColor& color);
  int traceCount() const { return graphCount(); }
  // The y values of trace `index` (tests).
  std::vector<double> traceValues(int index) const;

 signals:
  // The operator moved a cursor (mouse or keyboard).
  void cursorMoved();
  // The operator zoomed (Ctrl + drag, or Enter).
  void zoomed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Cursor {
    QCPItemStraightLine* vertical = nullptr;
    QCPItemStraightLine* horizontal = nullptr;  // analogue graph only
    ScopeCursor position;
  };
  static std::size_t slot(int index) { return index == 1 ? 1u : 0u; }
  void placeCursor(Cursor& c);
  // Moves the active cursor to the mouse position.
  void dragTo(const QPointF& pixel);
  ScopeCursor clamped(ScopeCursor p) const;
  // Shows the rectangle the two cursors span (none when they share a line).
  void zoomToCursors();

  Kind kind_;
  std::array<Cursor, 2> cursors_;
  int active_ = 0;
  bool dragging_ = false;
  bool zooming_ = false;
  double fullXMax_ = kScopeXMaximum;
  double fullYMin_ = 0;
  double fullYMax_ = kScopeYMaximumRaw;
};

}  // namespace drq::gui
