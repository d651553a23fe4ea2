#pragma once
// DATAP, the display panel: the sensor-status field with the COM port or
// server address beside it, the live values of the current frame (red, green,
// blue, X/s, Y/i, INT/M, delta C, colour number, colour group, trigger LED,
// colour patch, the output LEDs OUT0..OUT4), and its own tab of four graph
// pages. The displays repaint only what changed; the charts are redrawn by
// one replot scheduler at the screen's pace.

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <array>
#include <cstdint>

#include "core/live/DisplayRules.h"
#include "core/live/LiveFrame.h"
#include "core/params/PanelIds.h"
#include "gui/common/RuleControls.h"
#include "gui/common/ShellContext.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

class ReplotScheduler;
class RgbChartPage;
class IntensityChartPage;
class TwoDGraphPage;
class ThreeDGraphPage;

inline constexpr int kOutputLeds = 5;

class DataPanel : public QWidget {
  Q_OBJECT
 public:
  explicit DataPanel(ShellContext& context, QWidget* parent = nullptr);

  QTabWidget* pages() const { return pages_; }
  // The graph pages, in index order (kDataPage...), for their contents.
  QWidget* page(int index) const { return pages_->widget(index); }
  RgbChartPage& rgbChartPage() const { return *rgbPage_; }
  IntensityChartPage& intensityChartPage() const { return *intensityPage_; }
  TwoDGraphPage& twoDGraphPage() const { return *twoDPage_; }
  ThreeDGraphPage& threeDGraphPage() const { return *threeDPage_; }
  // Shows or hides graph page `page` (SetTabVis).
  void setGraphPageVisible(int page, bool visible) { pages_->setTabVisible(page, visible); }

  // Redraws every chart of the panel at the screen's pace.
  ReplotScheduler& replotScheduler() const { return *scheduler_; }

  // The sensor-status field: its value and its label.
  void setStatus(const QString& value);
  QString status() const { return status_->text(); }
  void setStatusLabel(const QString& label);
  QString statusLabel() const { return statusLabel_->text(); }

  // Shows the COM port (serial) or the server address (TCP/IP).
  void showLinkTarget(bool serial, const QString& comPort, const QString& address);

  // --- Live displays (the mode rules show, hide and relabel them) ----------
  ValueDisplay* redDisplay() const { return red_; }
  ValueDisplay* greenDisplay() const { return green_; }
  // X/s, Y/i and INT/M.
  ValueDisplay* xDisplay() const { return x_; }
  ValueDisplay* yDisplay() const { return y_; }
  ValueDisplay* intDisplay() const { return int_; }
  ValueDisplay* deltaCDisplay() const { return deltaC_; }
  ValueDisplay* colorNumberDisplay() const { return colorNumber_; }
  ValueDisplay* colorGroupDisplay() const { return colorGroup_; }
  Led* triggerLed() const { return triggerLed_; }
  // OUT0..OUT4; hidden until the evaluation mode shows them.
  Led* outputLed(int index) const { return outputLeds_[static_cast<std::size_t>(index)]; }
  ColorPatchView* colorPatch() const { return colorPatch_; }
  // Shows or hides the three value displays X/s, Y/i and INT/M together.
  void setValueDisplaysVisible(bool visible);

  // The displays and pages the mode rules show, hide and relabel: DeltaC,
  // the colour and group numbers, OUT0..OUT4, the three value displays, the
  // trigger LED, graph pages 1..3 and the titles of the three 3D views.
  void registerRuleControls(RuleControls& controls);

  // What the value displays show now, into `frame`: X/s, Y/i, INT/M and red,
  // green, blue (what Teach data to takes).
  void readShownValues(LiveFrame& frame) const;

  // Deletes every teach figure of the 2D colour plane, the intensity bar's
  // band and the figures of the three 3D views (after the teach table's
  // reset; the next InitGraphs draws the table again).
  void clearTeachFigures();

  // SetDispNames: labels and colours of the X/s, Y/i and INT/M displays, and
  // the same labels on the charts of the intensity and 2D graph pages.
  void SetDispNames(const DisplayNames& names);
  // SetLedTrigVis.
  void setTriggerLedVisible(bool visible);

  // SetPanelData's part on this panel: every value display and page display,
  // the trigger LED, the colour patch and, when `outputLedsFollowFrame`, the
  // output LEDs from the colour word.
  void showFrame(const LiveFrame& frame, std::uint32_t colorPatch, bool outputLedsFollowFrame);

 signals:
  // CBF_DispStatus: a right double-click on the status field asks to empty
  // the connection page's message box.
  void clearMessagesRequested();
  // CBF_DispCOL / CBF_DispGroup: a left double click asks for the big display.
  void bigColorRequested();
  void bigGroupRequested();

 private:
  QWidget* buildValueArea(ShellContext& context);

  ReplotScheduler* scheduler_;
  QLabel* statusLabel_;
  QLineEdit* status_;
  QLabel* targetLabel_;
  QLineEdit* comPort_;
  QLineEdit* address_;
  QTabWidget* pages_ = nullptr;
  RgbChartPage* rgbPage_ = nullptr;
  IntensityChartPage* intensityPage_ = nullptr;
  TwoDGraphPage* twoDPage_ = nullptr;
  ThreeDGraphPage* threeDPage_ = nullptr;

  ValueDisplay* red_ = nullptr;
  ValueDisplay* green_ = nullptr;
  ValueDisplay* blue_ = nullptr;
  ValueDisplay* x_ = nullptr;
  ValueDisplay* y_ = nullptr;
  ValueDisplay* int_ = nullptr;
  ValueDisplay* deltaC_ = nullptr;
  ValueDisplay* colorNumber_ = nullptr;
  ValueDisplay* colorGroup_ = nullptr;
  Led* triggerLed_ = nullptr;
  std::array<Led*, kOutputLeds> outputLeds_{};
  ColorPatchView* colorPatch_ = nullptr;
};

}  // namespace drq::gui
