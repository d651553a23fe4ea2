#pragma once
// One view of the colour space: the teach figures (per teach row the ellipse
// inscribed in the row's rectangle, a full arc drawn in the row's colour with
// a transparent fill), a cursor
// on the current point, and axes framed around both. The figures are redrawn
// only when they change; per frame only the axes and the cursor move, and
// when the axes stay where they are only the cursor's layer is redrawn.

#include <qcustomplot.h>

#include <cstdint>
#include <vector>

#include "core/graph/Framing.h"
#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"

namespace drq::gui {

class ReplotScheduler;

class ColourGraph final : public QCustomPlot {
  Q_OBJECT
 public:
  struct Figure {
    FigureRect rect;
    std::uint32_t color = 0;  // 0xRRGGBB
    bool operator==(const Figure&) const = default;
  };

  ColourGraph(const QString& title, ReplotScheduler& scheduler, QWidget* parent = nullptr);

  // The view's label in its top left corner ("X/Y", "s/M", ...).
  void setTitle(const QString& title);
  QString title() const;

  // Deletes every figure and draws `figures` (nothing when they are the ones
  // drawn already). Returns true when the figures were redrawn.
  bool setFigures(const std::vector<Figure>& figures);
  int figureCount() const { return static_cast<int>(items_.size()); }
  // Plot co-ordinates of figure `index`, and its item (tests).
  FigureRect figureRect(int index) const;
  QCPAbstractItem* figureItem(int index) const;

  // Frames the axes and moves the cursor.
  void setView(const ViewRanges& ranges, GraphPoint cursor);
  ViewRanges view() const { return view_; }
  GraphPoint cursorPosition() const { return cursor_; }

 protected:
  // Keeps the axis rectangle square: both axes cover the same length, so a
  // circle of the teach table is drawn round.
  void resizeEvent(QResizeEvent* event) override;

 private:
  ReplotScheduler& scheduler_;
  QCPItemText* title_;
  QCPGraph* cursorGraph_;
  QCPLayer* cursorLayer_;
  std::vector<QCPAbstractItem*> items_;
  std::vector<Figure> figures_;
  ViewRanges view_;
  GraphPoint cursor_;
};

}  // namespace drq::gui
