#pragma once
// Page 0 of the display panel: the RGB strip chart, red, green and blue, and
// the two extremes the sensor tracks per channel (words 14/17, 15/18, 16/19).

#include <QWidget>

#include <array>

#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "gui/common/ShellContext.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

class ReplotScheduler;
class StripChart;

class RgbChartPage final : public QWidget {
  Q_OBJECT
 public:
  RgbChartPage(ShellContext& context, ReplotScheduler& scheduler, QWidget* parent = nullptr);

  StripChart& chart() const { return *chart_; }
  ValueDisplay* rgbDisplay(int channel) const { return rgb_[static_cast<std::size_t>(channel)]; }
  // Words 14..16 (MIN) and 17..19 (MAX).
  ValueDisplay* minDisplay(int channel) const { return min_[static_cast<std::size_t>(channel)]; }
  ValueDisplay* maxDisplay(int channel) const { return max_[static_cast<std::size_t>(channel)]; }

  void showFrame(const LiveFrame& frame);
  void showWindow(const LiveState& live);

 public slots:
  // CBF_GraphRGB: a left double click autoscales the vertical axis, a left
  // click fixes it to 0..4096.
  void CBF_GraphRGB(bool doubleClick);

 private:
  StripChart* chart_;
  std::array<ValueDisplay*, 3> rgb_{};
  std::array<ValueDisplay*, 3> min_{};
  std::array<ValueDisplay*, 3> max_{};
};

}  // namespace drq::gui
