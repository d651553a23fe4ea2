#pragma once
// TEACHP2, the graph teach panel, shown in the main window's display area in
// place of the display panel. START records measurements (its own loop,
// GetDataTP2: no Send or Get service, no display outside this panel) into the
// sample table, each one a point in three views (X/Y, X/INT, Y/INT); the
// operator then moves a view's cursor onto a point (it snaps from point to
// point) and teaches the selected sample with TEACH.
//
// Controls (object names after their callbacks): the counter DispTP2Counter,
// the value displays DispTP2X/Y/INT, the views GraphXYTP2, GraphXIntTP2 and
// GraphYIntTP2, the buttons ButtonTP2Start, ButtonTP2Reset, ButtonTP2Teach and
// ButtonTP2Close (shows the display panel again).
//
// The views fill a 2 x 2 grid with the displays and buttons in the fourth
// quarter. In a display area narrower than that grid needs (the default
// window), one view fills the width at a time, chosen with ButtonTP2ShowXY,
// ButtonTP2ShowXInt and ButtonTP2ShowYInt above it, the displays and buttons
// below it.
//
// The samples and the counter live in the panel for the whole run of the
// tool, until Reset; a new START continues counting. The sample table is the
// core's (core/teach/GraphTeach.h).

#include <QGridLayout>
#include <QPushButton>

#include <array>

#include "core/teach/GraphTeach.h"
#include "gui/panels/ChildPanelWidget.h"
#include "gui/widgets/Indicators.h"

namespace drq::gui {

class TeachPanelHost;
class ReplotScheduler;
class SampleScatterView;

class GraphTeachPanel : public ChildPanelWidget, private GraphTeachHooks {
  Q_OBJECT
 public:
  explicit GraphTeachPanel(ShellContext& context, QWidget* parent = nullptr);
  ~GraphTeachPanel() override;

  // The window's side of the panel; nothing that needs it happens before.
  void setHost(TeachPanelHost& host) { host_ = &host; }

  const GraphTeachSamples& samples() const { return samples_; }
  // True while START's recording runs.
  bool isRecording() const { return recording_; }

  // --- Controls (the mode rules relabel them; tests) -------------------------
  ValueDisplay* counterDisplay() const { return counter_; }
  // 0 X/s, 1 Y/i, 2 INT/M.
  ValueDisplay* valueDisplay(int index) const { return values_[static_cast<std::size_t>(index)]; }
  // 0 X/Y, 1 X/INT, 2 Y/INT.
  SampleScatterView& view(int index) const { return *views_[static_cast<std::size_t>(index)]; }
  QPushButton* startButton() const { return start_; }
  QPushButton* resetButton() const { return reset_; }
  QPushButton* teachButton() const { return teach_; }
  QPushButton* closeButton() const { return close_; }
  ReplotScheduler& replotScheduler() const { return *scheduler_; }
  // One view at a time (a narrow panel); which one (0..2).
  bool showsSingleView() const { return singleView_; }
  int shownView() const { return shownView_; }
  QPushButton* viewChoice(int index) const { return viewChoices_[static_cast<std::size_t>(index)]; }
  // The view shown while the panel is narrow (its choice button).
  void showSingleView(int index);

  // START with the operation buttons; the views' titles, the displays'
  // labels and colours and TEACH with the mode rules (InitTeachPanel).
  void registerOperationButtons(ButtonDimmer& dimmer) override;
  void registerRuleControls(RuleControls& controls) override;

  // Captions the rules set: the views' titles and the displays' labels and
  // colours (accent and background).
  void setViewTitle(int index, const QString& title);
  void setValueLabel(int index, const QString& label);
  void setValueColors(int index, std::uint32_t color, std::uint32_t secondColor);

  // SetCursorTP2: the first recorded sample whose two co-ordinates of view
  // `view` equal its cursor's (sample 0 when none does) is shown in the
  // displays and all three cursors move onto it. Nothing while no sample is
  // recorded.
  void SetCursorTP2(int view);

 public slots:
  // Records until STOP (RunFlag cleared) or the 60000th sample, between
  // dimming and undimming the operation buttons. With the table full it
  // records nothing and tells the operator that RESET empties it.
  void CBF_ButtonTP2Start();
  // After the operator confirms: the points of the three views are deleted
  // and the counter becomes 0 (the displays keep their values).
  void CBF_ButtonTP2Reset();
  // Teach data to with the displayed values. Dimmed until the displays have
  // shown a recorded sample (Reset keeps them, and what they show) and in
  // THD RGB (the mode rules), where the slot does nothing either.
  void CBF_ButtonTP2Teach();
  void CBF_GraphXYTP2() { SetCursorTP2(0); }
  void CBF_GraphXIntTP2() { SetCursorTP2(1); }
  void CBF_GraphYIntTP2() { SetCursorTP2(2); }
  // Shows the display panel again (a recording ends first).
  void CBF_ButtonTP2Close();

 signals:
  // After each recorded sample has been shown (benchmarks, tests).
  void sampleShown();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Places the views, displays and buttons for the panel's width.
  void arrangeViews();
  // GraphTeachHooks (SetTP2Data's display part).
  void sampleRecorded(std::size_t index) override;
  void showSample(std::size_t index);
  void noteDisplaysHoldSample();
  void updateTeachButton();

  TeachPanelHost* host_ = nullptr;
  GraphTeachSamples samples_;
  ReplotScheduler* scheduler_;
  ValueDisplay* counter_;
  std::array<ValueDisplay*, 3> values_{};
  std::array<SampleScatterView*, 3> views_{};
  QPushButton* start_;
  QPushButton* reset_;
  QPushButton* teach_;
  QPushButton* close_;
  QWidget* side_ = nullptr;     // the displays and buttons
  QWidget* chooser_ = nullptr;  // the view choice buttons
  std::array<QPushButton*, 3> viewChoices_{};
  QGridLayout* grid_ = nullptr;
  bool singleView_ = false;
  int shownView_ = 0;
  bool recording_ = false;
  bool displaysHoldSample_ = false;  // a sample has been shown since the start
  bool teachDimmedByMode_ = false;
};

}  // namespace drq::gui
