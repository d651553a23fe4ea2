#pragma once
// The intensity bar of the 2D graph page: the tolerance band of the selected
// teach row as a filled rectangle (0x408080) from (from, 0) to (to, 100), and
// a cursor on (intensity, 50). The horizontal axis runs from 0 to the scale's
// maximum (or the cursor, beyond it); the band is redrawn only when it
// changes.

#include <qcustomplot.h>

#include <optional>

#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"

namespace drq::gui {

class ReplotScheduler;

class IntensityBar final : public QCustomPlot {
  Q_OBJECT
 public:
  explicit IntensityBar(ReplotScheduler& scheduler, QWidget* parent = nullptr);

  // Deletes the band and draws `band` (none: no band).
  void setBand(std::optional<IntensityBand> band);
  std::optional<IntensityBand> band() const { return band_; }
  // The band's rectangle in plot co-ordinates (tests): left, bottom, right, top.
  std::optional<FigureRect> bandRect() const;

  // The horizontal axis from 0 to `maximum`, widened while the cursor lies
  // beyond it (an INT above 4096 in calculation mode 0) so that the cursor
  // stays in sight.
  void setScale(int maximum);
  int scale() const { return scale_; }

  // The label under the horizontal axis ("INT" or "M").
  void setCaption(const QString& text);
  QString caption() const { return xAxis->label(); }

  void setCursor(GraphPoint cursor);
  GraphPoint cursorPosition() const { return cursor_; }

 private:
  void fitAxis();

  ReplotScheduler& scheduler_;
  QCPItemRect* bandItem_ = nullptr;
  QCPGraph* cursorGraph_;
  QCPLayer* cursorLayer_;
  std::optional<IntensityBand> band_;
  int scale_ = 0;
  GraphPoint cursor_;
};

}  // namespace drq::gui
