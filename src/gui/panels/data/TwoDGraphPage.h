#pragma once
// Page 2 of the display panel (calculation modes 0 and 1): the colour plane
// with one circle per teach row and a cursor on the current point, the
// intensity bar with the selected row's band, and red, green and blue.

#include <QWidget>

#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"
#include "core/live/LiveFrame.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class ReplotScheduler;
class ColourGraph;
class IntensityBar;
class RgbDisplayRow;

class TwoDGraphPage final : public QWidget {
  Q_OBJECT
 public:
  TwoDGraphPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent = nullptr);

  ColourGraph& colourPlane() const { return *plane_; }
  IntensityBar& intensityBar() const { return *bar_; }
  RgbDisplayRow& rgbDisplays() const { return *rgb_; }

  // The circles of the teach rows (redrawn only when they changed).
  void setFigures(const TeachFigureSet& figures);
  void showFrame(const LiveFrame& frame);
  // Framing and cursors of one frame.
  void showUpdate(const TwoDUpdate& update);
  // "X/Y" and "INT", or "s/i" and "M".
  void setCaptions(const QString& plane, const QString& intensity);

 private:
  ColourGraph* plane_;
  IntensityBar* bar_;
  RgbDisplayRow* rgb_;
};

}  // namespace drq::gui
