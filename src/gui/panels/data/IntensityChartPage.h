#pragma once
// Page 1 of the display panel: strip charts of X/s, Y/i and INT/M, and red,
// green and blue. The vertical axes are fixed to the calculation mode's
// ranges (manual scaling) or follow the data (autoscale), all three together.

#include <QWidget>

#include <array>
#include <cstdint>

#include "core/graph/ChartRanges.h"
#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class ReplotScheduler;
class StripChart;
class RgbDisplayRow;

class IntensityChartPage final : public QWidget {
  Q_OBJECT
 public:
  IntensityChartPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent = nullptr);

  // 0 X/s, 1 Y/i, 2 INT/M.
  StripChart& chart(int index) const { return *charts_[static_cast<std::size_t>(index)]; }
  RgbDisplayRow& rgbDisplays() const { return *rgb_; }

  void showFrame(const LiveFrame& frame);
  void showWindows(const LiveState& live);

  // The captions of the three charts ("X", "Y", "INT" or "s", "i", "M").
  void setCaptions(const std::array<QString, 3>& captions);

  // The fixed ranges of `calculationMode` (intensityChartRanges) on all three
  // vertical axes (manual scaling); other modes change nothing.
  void applyFixedRanges(std::uint16_t calculationMode);
  // All three vertical axes to automatic scaling.
  void setAutoscale();
  // True while the INT/M chart's vertical axis is in manual scaling.
  bool intensityAxisManual() const;
  // The calculation-mode rule: applies `ranges` only while the INT/M chart's
  // vertical axis is in manual scaling, so that an autoscaled view survives
  // a mode change.
  void applyModeRanges(const std::array<ChartRange, 3>& ranges);

 public slots:
  // CBF_GraphINT1: a left double click autoscales all three charts; a left
  // click fixes all three to the ranges of the calculation mode.
  void CBF_GraphINT1(bool doubleClick);

 private:
  void setRanges(const std::array<ChartRange, 3>& ranges);

  ShellContext& context_;
  std::array<StripChart*, 3> charts_{};
  RgbDisplayRow* rgb_;
};

}  // namespace drq::gui
