#include "gui/panels/GraphTeachPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QResizeEvent>

#include "core/params/Modes.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/charts/SampleScatterView.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/panels/TeachPanelHost.h"
#include "gui/panels/TeachPanelTexts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/Mnemonics.h"

namespace drq::gui {

namespace {

// Narrower than this, the panel shows one view at a time: in a 2 x 2 grid
// each view would get less than half of it, too little to pick a point
// with the mouse.
constexpr int kGridMinWidth = 520;

std::int16_t shownWord(const ValueDisplay* display) {
  return static_cast<std::int16_t>(display->value());
}

}  // namespace

GraphTeachPanel::GraphTeachPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("TEACHP2"), parent),
      scheduler_(new ReplotScheduler(this)),
      counter_(new ValueDisplay(QStringLiteral("COUNTER"), this, 5)) {
  Popups& popups = context.popups;
  installHelp(this, popups, qStringFromLatin1(kHelpTeachP2));

  counter_->setObjectName(QStringLiteral("DispTP2Counter"));
  counter_->setAccessibleName(QStringLiteral("COUNTER"));
  installHelp(counter_, popups, qStringFromLatin1(kHelpTp2Counter));
  counter_->setValue(0);

  const char* captions[] = {"X", "Y", "INT"};
  const char* displayNames[] = {"DispTP2X", "DispTP2Y", "DispTP2INT"};
  for (std::size_t i = 0; i < values_.size(); ++i) {
    values_[i] = new ValueDisplay(qStringFromLatin1(captions[i]), this);
    values_[i]->setObjectName(QLatin1String(displayNames[i]));
    values_[i]->setAccessibleName(qStringFromLatin1(captions[i]));
    installHelp(values_[i], popups, qStringFromLatin1(kHelpTp2Values));
  }
  setValueColors(0, 0xFF0000, 0xE0E0E0);
  setValueColors(1, 0x00FF00, 0xE0E0E0);

  const char* titles[] = {"X/Y", "X/INT", "Y/INT"};
  // In a narrow display area one view at a time, chosen with these buttons
  // (above the view, so created before it: Tab follows creation).
  chooser_ = new QWidget(this);
  auto* chooserLayout = new QHBoxLayout(chooser_);
  chooserLayout->setContentsMargins(0, 0, 0, 0);
  chooserLayout->setSpacing(4);
  const char* choiceNames[] = {"ButtonTP2ShowXY", "ButtonTP2ShowXInt", "ButtonTP2ShowYInt"};
  for (std::size_t i = 0; i < viewChoices_.size(); ++i) {
    auto* choice = new QPushButton(qStringFromLatin1(titles[i]), chooser_);
    choice->setObjectName(QLatin1String(choiceNames[i]));
    choice->setCheckable(true);
    choice->setAutoExclusive(true);
    installHelp(choice, popups, qStringFromLatin1(kHelpTp2Graph));
    connect(choice, &QPushButton::clicked, this,
            [this, i] { showSingleView(static_cast<int>(i)); });
    chooserLayout->addWidget(choice);
    viewChoices_[i] = choice;
  }
  viewChoices_[0]->setChecked(true);

  const char* viewNames[] = {"GraphXYTP2", "GraphXIntTP2", "GraphYIntTP2"};
  for (std::size_t i = 0; i < views_.size(); ++i) {
    views_[i] = new SampleScatterView(samples_, static_cast<GraphTeachView>(i),
                                      qStringFromLatin1(titles[i]), *scheduler_, this);
    views_[i]->setObjectName(QLatin1String(viewNames[i]));
    installHelp(views_[i], popups, qStringFromLatin1(kHelpTp2Graph));
  }
  connect(views_[0], &SampleScatterView::cursorCommitted, this, &GraphTeachPanel::CBF_GraphXYTP2);
  connect(views_[1], &SampleScatterView::cursorCommitted, this, &GraphTeachPanel::CBF_GraphXIntTP2);
  connect(views_[2], &SampleScatterView::cursorCommitted, this, &GraphTeachPanel::CBF_GraphYIntTP2);

  start_ = addButton("&START", "ButtonTP2Start", kHelpTp2Start);
  reset_ = addButton("RESET", "ButtonTP2Reset", kHelpTp2Reset);
  teach_ = addButton("TEACH", "ButtonTP2Teach", kHelpTp2Teach);
  close_ = addButton("CLOSE", "ButtonTP2Close", kHelpTp2Close);
  connect(start_, &QPushButton::clicked, this, &GraphTeachPanel::CBF_ButtonTP2Start);
  connect(reset_, &QPushButton::clicked, this, &GraphTeachPanel::CBF_ButtonTP2Reset);
  connect(teach_, &QPushButton::clicked, this, &GraphTeachPanel::CBF_ButtonTP2Teach);
  connect(close_, &QPushButton::clicked, this, &GraphTeachPanel::CBF_ButtonTP2Close);
  updateTeachButton();

  // The displays in one column, the buttons beside them.
  side_ = new QWidget(this);
  auto* sideLayout = new QGridLayout(side_);
  sideLayout->setContentsMargins(4, 8, 4, 8);
  sideLayout->setSpacing(6);
  sideLayout->addWidget(counter_, 0, 0);
  for (int i = 0; i < 3; ++i) sideLayout->addWidget(values_[static_cast<std::size_t>(i)], i + 1, 0);
  sideLayout->addWidget(start_, 0, 1, Qt::AlignBottom);
  sideLayout->addWidget(reset_, 1, 1, Qt::AlignBottom);
  sideLayout->addWidget(teach_, 2, 1, Qt::AlignBottom);
  sideLayout->addWidget(close_, 3, 1, Qt::AlignBottom);
  sideLayout->setRowStretch(4, 1);
  sideLayout->setColumnStretch(2, 1);

  grid_ = new QGridLayout();
  grid_->setSpacing(4);
  panelLayout()->addLayout(grid_, 1);
  arrangeViews();
}

void GraphTeachPanel::arrangeViews() {
  for (QWidget* widget : {static_cast<QWidget*>(chooser_), side_}) grid_->removeWidget(widget);
  for (SampleScatterView* view : views_) grid_->removeWidget(view);
  for (int i = 0; i < 3; ++i) {
    grid_->setRowStretch(i, 0);
    grid_->setColumnStretch(i, 0);
  }
  if (singleView_) {
    // The chosen view over the whole width, the others hidden (their cursors
    // still follow); the displays and buttons below it.
    grid_->addWidget(chooser_, 0, 0);
    for (std::size_t i = 0; i < views_.size(); ++i) {
      const bool shown = static_cast<int>(i) == shownView_;
      if (shown) grid_->addWidget(views_[i], 1, 0);
      views_[i]->setVisible(shown);
    }
    grid_->addWidget(side_, 2, 0);
    grid_->setRowStretch(1, 1);
    grid_->setColumnStretch(0, 1);
    chooser_->show();
    return;
  }
  // The three views and, in the fourth quarter, the displays and buttons.
  chooser_->hide();
  grid_->addWidget(views_[0], 0, 0);
  grid_->addWidget(views_[1], 0, 1);
  grid_->addWidget(views_[2], 1, 0);
  grid_->addWidget(side_, 1, 1);
  for (SampleScatterView* view : views_) view->show();
  for (int i = 0; i < 2; ++i) {
    grid_->setRowStretch(i, 1);
    grid_->setColumnStretch(i, 1);
  }
}

void GraphTeachPanel::showSingleView(int index) {
  if (index < 0 || index >= kGraphTeachViews) return;
  shownView_ = index;
  viewChoices_[static_cast<std::size_t>(index)]->setChecked(true);
  if (singleView_) arrangeViews();
}

void GraphTeachPanel::resizeEvent(QResizeEvent* event) {
  ChildPanelWidget::resizeEvent(event);
  const bool single = event->size().width() < kGridMinWidth;
  if (single == singleView_) return;
  singleView_ = single;
  arrangeViews();
}

GraphTeachPanel::~GraphTeachPanel() = default;

void GraphTeachPanel::registerOperationButtons(ButtonDimmer& dimmer) {
  dimmer.add(ButtonDimmer::Group::Always, start_);
}

void GraphTeachPanel::registerRuleControls(RuleControls& controls) {
  using C = PanelControl;
  constexpr C kGraphs[] = {C::GraphTeachGraph1, C::GraphTeachGraph2, C::GraphTeachGraph3};
  constexpr C kValues[] = {C::GraphTeachValue1, C::GraphTeachValue2, C::GraphTeachValue3};
  for (int i = 0; i < 3; ++i) {
    controls.add(kGraphs[i],
                 {.relabel = [this, i](const QString& text) { setViewTitle(i, text); }});
    RuleControls::Actions value{
        .relabel = [this, i](const QString& text) { setValueLabel(i, text); }};
    if (i < 2) {
      value.colors = [this, i](std::uint32_t color, std::uint32_t second) {
        setValueColors(i, color, second);
      };
    }
    controls.add(kValues[i], std::move(value));
  }
  controls.add(C::GraphTeachTeach, {.dim = [this](bool dimmed) {
                 teachDimmedByMode_ = dimmed;
                 updateTeachButton();
               }});
}

void GraphTeachPanel::updateTeachButton() {
  teach_->setEnabled(!teachDimmedByMode_ && displaysHoldSample_);
}

void GraphTeachPanel::noteDisplaysHoldSample() {
  if (displaysHoldSample_) return;
  displaysHoldSample_ = true;
  updateTeachButton();
}

// --- Captions ------------------------------------------------------------------------

void GraphTeachPanel::setViewTitle(int index, const QString& title) {
  views_[static_cast<std::size_t>(index)]->setTitle(title);
  setTextKeepingMnemonic(*viewChoices_[static_cast<std::size_t>(index)], title);
}

void GraphTeachPanel::setValueLabel(int index, const QString& label) {
  ValueDisplay* display = values_[static_cast<std::size_t>(index)];
  display->setCaption(label);
  display->setAccessibleName(label);
}

void GraphTeachPanel::setValueColors(int index, std::uint32_t color, std::uint32_t secondColor) {
  values_[static_cast<std::size_t>(index)]->setColors(rgbColor(color), rgbColor(secondColor));
}

// --- Recording -----------------------------------------------------------------------

void GraphTeachPanel::CBF_ButtonTP2Start() {
  if (!host_ || !context().operations.canStart()) return;
  if (samples_.full()) {
    context().popups.MessagePopup(qStringFromLatin1(kTitleAttention),
                                  qStringFromLatin1(kMsgTp2TableFull));
    return;
  }
  OperationGuard guard = context().operations.start(Operation::GraphTeach);
  if (!guard) return;
  recording_ = true;
  host_->readPanels();
  host_->redrawTeachFigures();
  GetDataTP2(context().session, samples_, *this);
  recording_ = false;
}

void GraphTeachPanel::sampleRecorded(std::size_t index) {
  const GraphSample& s = samples_[index];
  values_[0]->setValue(static_cast<int>(s.x));
  values_[1]->setValue(static_cast<int>(s.y));
  values_[2]->setValue(static_cast<int>(s.intensity));
  noteDisplaysHoldSample();
  for (SampleScatterView* view : views_) view->showNewSample(index);
  counter_->setValue(static_cast<int>(samples_.count()));
  emit sampleShown();
}

void GraphTeachPanel::CBF_ButtonTP2Reset() {
  if (!context().popups.ConfirmPopup(qStringFromLatin1(kTitleAttention),
                                     qStringFromLatin1(kConfirmResetTable))) {
    return;
  }
  samples_.reset();
  for (SampleScatterView* view : views_) view->samplesChanged();
  counter_->setValue(0);
}

// --- Selecting and teaching ----------------------------------------------------------

void GraphTeachPanel::showSample(std::size_t index) {
  const GraphSample& s = samples_[index];
  values_[0]->setValue(static_cast<int>(s.x));
  values_[1]->setValue(static_cast<int>(s.y));
  values_[2]->setValue(static_cast<int>(s.intensity));
  noteDisplaysHoldSample();
  for (SampleScatterView* view : views_) view->showSample(index);
}

void GraphTeachPanel::SetCursorTP2(int view) {
  if (view < 0 || view >= kGraphTeachViews || samples_.count() == 0) return;
  const SampleScatterView& moved = *views_[static_cast<std::size_t>(view)];
  showSample(samples_.findSample(moved.view(), moved.cursorPosition()));
}

void GraphTeachPanel::CBF_ButtonTP2Teach() {
  // Before the first sample the displays hold no measurement; in THD RGB the
  // teach would put the last frame's colour, not the selected sample's, into
  // the thresholds.
  if (!host_ || !displaysHoldSample_ || isThdRgbEvalMode(host_->readTeachModes().evaluation)) {
    return;
  }
  host_->teachShownValues(shownWord(values_[0]), shownWord(values_[1]), shownWord(values_[2]));
}

void GraphTeachPanel::CBF_ButtonTP2Close() {
  if (recording_) context().session.RunFlag.clear();
  context().panels.ShowChildPanelDisp(ChildPanel::DATAP);
}

}  // namespace drq::gui
