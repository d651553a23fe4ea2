#pragma once
// Page 3 of the display panel (calculation modes 2 and 3): three side views of
// the colour space, X/Y (an ellipse per teach row), X/INT and Y/INT (a
// rectangle per row), each with a cursor, and a second RGB strip chart.

#include <QWidget>

#include <array>

#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"
#include "core/live/LiveState.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class ReplotScheduler;
class ColourGraph;
class StripChart;

class ThreeDGraphPage final : public QWidget {
  Q_OBJECT
 public:
  ThreeDGraphPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent = nullptr);

  // 0 X/Y, 1 X/INT, 2 Y/INT.
  ColourGraph& view(int index) const { return *views_[static_cast<std::size_t>(index)]; }

  // The labels of the three views: "X/Y", "X/INT", "Y/INT" or "s/i", "s/M",
  // "i/M" (the calculation-mode rule sets them).
  void setViewTitles(const std::array<QString, 3>& titles);
  std::array<QString, 3> viewTitles() const;

  void setFigures(const TeachFigureSet& figures);
  void showUpdate(const ThreeDUpdate& update);
  void showWindow(const LiveState& live);

 private:
  std::array<ColourGraph*, 3> views_{};
  StripChart* rgbChart_;
};

}  // namespace drq::gui
