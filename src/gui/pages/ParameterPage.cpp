#include "gui/pages/ParameterPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

#include "core/params/ControlLimits.h"
#include "core/params/ModeRules.h"
#include "core/params/ParaNames.h"
#include "gui/pages/ParameterHelpTexts.h"
#include "gui/popups/Help.h"

namespace drq::gui {

namespace {

using W = ParaWord;

constexpr int kPowerMax = paraControlRange(W::Power).max;
constexpr int kIntegralMax = paraControlRange(W::Integral).max;
constexpr int kMaxVecNoMax = paraControlRange(W::MaxVecNo).max;
constexpr int kWordMax = 65535;

// The words of this page in the order GetPanelValues reads them (the record
// order without HOLD FAIL and COLOR GROUP).
constexpr std::array<W, 15> kPageWords = {
    W::Power,    W::PowerMode,      W::Average, W::EvaluationMode, W::IntLim,
    W::MaxVecNo, W::DigitalOutmode, W::Trigger, W::ExternTeach,    W::CalculationMode,
    W::DynWinLo, W::DynWinHi,       W::LedMode, W::Gain,           W::Integral};

QString keyText(W word) {
  const std::string_view key = paraKey(word);
  return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

QSpinBox* makeSpin(int maximum, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(0, maximum);
  spin->setKeyboardTracking(false);
  spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  spin->setAccelerated(true);
  return spin;
}

}  // namespace

ParameterPage::ParameterPage(ShellContext& context, QWidget* parent)
    : TabPage(context, QStringLiteral("PARAMETER"), parent) {
  setObjectName(QStringLiteral("ParameterPage"));

  // The controls scroll when the window is made smaller than they need.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("ParameterScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // No Tab stop of its own: Tab goes to the controls (Tab among them scrolls
  // the focused one into view).
  scroll->setFocusPolicy(Qt::NoFocus);
  body_ = new QWidget(scroll);
  body_->setObjectName(QStringLiteral("ParameterBody"));
  scroll->setWidget(body_);
  pageLayout()->setContentsMargins(4, 4, 4, 4);
  pageLayout()->addWidget(scroll, 1);

  buildPowerCell();
  addRing(W::PowerMode, "EditPmode", help::kEditPmode);
  addRing(W::LedMode, "EditLedMode", help::kEditLedMode);
  addNumeric(W::DynWinLo, "EditDynWinLo", kWordMax, help::kEditDynWinLoHi);
  addNumeric(W::DynWinHi, "EditDynWinHi", kWordMax, help::kEditDynWinLoHi);
  addRing(W::Gain, "EditGain", help::kEditGain);
  addNumeric(W::Average, "EditAverage", kWordMax, help::kEditAverage);
  addNumeric(W::Integral, "EditIntegral", kIntegralMax, help::kEditIntegral);
  addNumeric(W::IntLim, "EditIntlim", kWordMax, help::kEditIntlim);
  addRing(W::EvaluationMode, "EditEvalmode", help::kEditEvalmode);
  addRing(W::CalculationMode, "EditCalcmode", help::kEditCalcmode);
  addNumeric(W::MaxVecNo, "EditMaxVecNo", kMaxVecNoMax, help::kEditMaxVecNo);
  addRing(W::DigitalOutmode, "EditDigOutmode", help::kEditDigOutmode);
  trigger_ = addRing(W::Trigger, "EditTrigger", help::kEditTrigger);
  addRing(W::ExternTeach, "EditExteach", help::kEditExteach);

  // Two columns of captioned controls, grouped as the sensor works: the
  // transmitter, the receiver, the evaluation, the trigger and teach modes.
  auto* grid = new QGridLayout(body_);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(5);
  grid->addWidget(slot(W::Power).cell, 0, 0, 1, 2);
  const std::array<std::array<W, 2>, 7> rows = {{
      {W::PowerMode, W::LedMode},
      {W::DynWinLo, W::DynWinHi},
      {W::Gain, W::Average},
      {W::Integral, W::IntLim},
      {W::EvaluationMode, W::CalculationMode},
      {W::MaxVecNo, W::DigitalOutmode},
      {W::Trigger, W::ExternTeach},
  }};
  int row = 1;
  for (const auto& pair : rows) {
    grid->addWidget(slot(pair[0]).cell, row, 0);
    grid->addWidget(slot(pair[1]).cell, row, 1);
    ++row;
  }
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(row, 1);

  connect(powerSlider_, &QSlider::valueChanged, this, &ParameterPage::CBF_SlidePower);
  connect(powerField_, &QSpinBox::valueChanged, this, &ParameterPage::CBF_SlidePower);
  const auto onRing = [this](W word, void (ParameterPage::*callback)()) {
    connect(slot(word).ring, &ValueRing::valueCommitted, this, callback);
  };
  onRing(W::PowerMode, &ParameterPage::CBF_EditPmode);
  onRing(W::LedMode, &ParameterPage::CBF_EditLedMode);
  onRing(W::Gain, &ParameterPage::CBF_EditGain);
  onRing(W::DigitalOutmode, &ParameterPage::CBF_EditDigOutmode);
  onRing(W::EvaluationMode, &ParameterPage::CBF_EditEvalmode);
  onRing(W::CalculationMode, &ParameterPage::CBF_EditCalcmode);
  onRing(W::ExternTeach, &ParameterPage::CBF_EditExteach);
  onRing(W::Trigger, &ParameterPage::CBF_EditTrigger);
  const auto onNumeric = [this](W word, void (ParameterPage::*callback)()) {
    connect(slot(word).numeric, &QSpinBox::valueChanged, this, callback);
  };
  onNumeric(W::DynWinLo, &ParameterPage::CBF_EditDynWinLoHi);
  onNumeric(W::DynWinHi, &ParameterPage::CBF_EditDynWinLoHi);
  onNumeric(W::Average, &ParameterPage::CBF_EditAverage);
  onNumeric(W::Integral, &ParameterPage::CBF_EditIntegral);
  onNumeric(W::MaxVecNo, &ParameterPage::CBF_EditMaxVecNo);
  onNumeric(W::IntLim, &ParameterPage::CBF_EditIntlim);

  // The controls start at the parameter file's defaults.
  ParameterPage::SetPanelValues(defaultParaSet());
  limited_.clear();
}

void ParameterPage::buildPowerCell() {
  auto* cell = new QWidget(body_);
  cell->setObjectName(QStringLiteral("SlidePowerCell"));
  auto* caption = new QLabel(keyText(W::Power), cell);
  caption->setObjectName(QStringLiteral("SlidePowerCaption"));
  // The value field sits on the caption's line, the slider below them: the
  // field comes first in the Tab order.
  powerField_ = makeSpin(kPowerMax, cell);
  powerField_->setObjectName(QStringLiteral("EditPower"));
  powerField_->setMinimumWidth(64);
  powerSlider_ = new QSlider(Qt::Horizontal, cell);
  powerSlider_->setObjectName(QStringLiteral("SlidePower"));
  powerSlider_->setRange(0, kPowerMax);
  powerSlider_->setSingleStep(1);
  powerSlider_->setPageStep(50);
  powerSlider_->setTickPosition(QSlider::TicksBelow);
  powerSlider_->setTickInterval(100);
  caption->setBuddy(powerField_);
  powerSlider_->setAccessibleName(keyText(W::Power) + QStringLiteral(" slider"));

  // Slider and value field show one value.
  connect(powerSlider_, &QSlider::valueChanged, powerField_, [this](int value) {
    const QSignalBlocker blocker(powerField_);
    powerField_->setValue(value);
  });
  connect(powerField_, &QSpinBox::valueChanged, powerSlider_, [this](int value) {
    const QSignalBlocker blocker(powerSlider_);
    powerSlider_->setValue(value);
  });

  auto* layout = new QGridLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setHorizontalSpacing(6);
  layout->setVerticalSpacing(0);
  layout->addWidget(caption, 0, 0);
  layout->addWidget(powerField_, 0, 1, Qt::AlignRight);
  layout->addWidget(powerSlider_, 1, 0, 1, 2);
  layout->setColumnStretch(0, 1);

  for (QWidget* control : {static_cast<QWidget*>(powerSlider_), static_cast<QWidget*>(powerField_),
                           static_cast<QWidget*>(caption)}) {
    installHelp(control, context().popups, QString::fromLatin1(help::kSlidePower));
  }
  Slot& s = slot(W::Power);
  s.cell = cell;
  s.caption = caption;
  s.control = powerSlider_;
  s.numeric = powerField_;
}

QWidget* ParameterPage::makeCell(ParaWord word, QWidget* control) {
  auto* cell = new QWidget(body_);
  cell->setObjectName(control->objectName() + QStringLiteral("Cell"));
  auto* caption = new QLabel(keyText(word), cell);
  caption->setObjectName(control->objectName() + QStringLiteral("Caption"));
  caption->setBuddy(control);
  control->setParent(cell);
  auto* layout = new QVBoxLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(caption);
  layout->addWidget(control);
  Slot& s = slot(word);
  s.cell = cell;
  s.caption = caption;
  s.control = control;
  return cell;
}

ValueRing* ParameterPage::addRing(ParaWord word, const char* objectName, const char* help) {
  auto* ring = new ValueRing(body_);
  ring->setObjectName(QString::fromLatin1(objectName));
  ring->setNamedItems(paraValueNames(word));
  makeCell(word, ring);
  slot(word).ring = ring;
  installHelp(ring, context().popups, QString::fromLatin1(help));
  installHelp(slot(word).caption, context().popups, QString::fromLatin1(help));
  return ring;
}

QSpinBox* ParameterPage::addNumeric(ParaWord word, const char* objectName, int maximum,
                                    const char* help) {
  QSpinBox* spin = makeSpin(maximum, body_);
  spin->setObjectName(QString::fromLatin1(objectName));
  makeCell(word, spin);
  slot(word).numeric = spin;
  installHelp(spin, context().popups, QString::fromLatin1(help));
  installHelp(slot(word).caption, context().popups, QString::fromLatin1(help));
  return spin;
}

bool ParameterPage::holdsWord(ParaWord word) {
  return word != W::HoldFail && word != W::ColorGroup &&
         static_cast<std::size_t>(word) < kParaRecordWords;
}

// --- Values -------------------------------------------------------------------

void ParameterPage::registerRuleControls(RuleControls& controls) {
  using C = PanelControl;
  using W = ParaWord;
  constexpr std::pair<C, W> kDimmable[] = {
      {C::Power, W::Power},
      {C::PowerMode, W::PowerMode},
      {C::DynWinLo, W::DynWinLo},
      {C::DynWinHi, W::DynWinHi},
      {C::ExternTeach, W::ExternTeach},
      {C::Trigger, W::Trigger},
      {C::MaxVecNo, W::MaxVecNo},
      {C::IntLim, W::IntLim},
      {C::DigitalOutmode, W::DigitalOutmode},
      {C::CalculationMode, W::CalculationMode},
  };
  for (const auto& [control, word] : kDimmable) {
    controls.add(control, {.dim = [this, w = word](bool dimmed) { setControlDimmed(w, dimmed); }});
  }
  for (std::size_t i = 0; i < kParaRecordWords; ++i) {
    const auto word = static_cast<W>(i);
    if (!holdsWord(word)) continue;
    controls.addValue(word, [this, word](std::uint16_t value) { setControlValue(word, value); });
  }
}

void ParameterPage::GetPanelValues(ParaSet& working) {
  for (W word : kPageWords) working.record[word] = controlValue(word);
}

void ParameterPage::SetPanelValues(const ParaSet& working) {
  const ParaRecord& r = working.record;
  limited_.clear();

  // EXTERN TEACH first, so that the TRIGGER ring holds the items its value
  // needs.
  setControlValue(W::ExternTeach, r[W::ExternTeach]);
  PanelState state;
  state.values.record[W::ExternTeach] = controlValue(W::ExternTeach);
  state.values.record[W::Trigger] = controlValue(W::Trigger);
  state.triggerRingItems = triggerRingItems();
  const PanelUpdate update = InitExteach(state);
  if (update.triggerRingItems) setTriggerRingItems(*update.triggerRingItems);
  if (const auto forced = update.valueOf(W::Trigger)) setControlValue(W::Trigger, *forced);

  for (W word : kPageWords) {
    std::uint16_t value = r[word];
    // Without the EXT items the sensor's rule makes any external trigger CONT.
    if (word == W::Trigger && triggerRingItems() <= kTriggerItemsShort && value >= 2) value = 0;
    setControlValue(word, value);
  }
}

std::uint16_t ParameterPage::controlValue(ParaWord word) const {
  if (!holdsWord(word)) return 0;
  const Slot& s = slot(word);
  if (s.ring) return s.ring->value();
  return static_cast<std::uint16_t>(s.numeric->value());
}

void ParameterPage::setControlValue(ParaWord word, std::uint16_t value) {
  if (!holdsWord(word)) return;
  Slot& s = slot(word);
  if (s.ring) {
    s.ring->setValue(value);
    return;
  }
  const int shown = std::min<int>(value, s.numeric->maximum());
  if (shown != value) {
    limited_.append(QStringLiteral("%1 %2 -> %3").arg(keyText(word)).arg(value).arg(shown));
  }
  const QSignalBlocker blocker(s.numeric);
  s.numeric->setValue(shown);
  if (word == W::Power) {
    const QSignalBlocker sliderBlocker(powerSlider_);
    powerSlider_->setValue(shown);
  }
}

// --- Access for the mode rules ---------------------------------------------------

QWidget* ParameterPage::control(ParaWord word) const {
  return holdsWord(word) ? slot(word).control : nullptr;
}

QWidget* ParameterPage::controlCell(ParaWord word) const {
  return holdsWord(word) ? slot(word).cell : nullptr;
}

QLabel* ParameterPage::caption(ParaWord word) const {
  return holdsWord(word) ? slot(word).caption : nullptr;
}

void ParameterPage::setControlDimmed(ParaWord word, bool dimmed) {
  if (QWidget* cell = controlCell(word)) cell->setEnabled(!dimmed);
}

bool ParameterPage::isControlDimmed(ParaWord word) const {
  const QWidget* cell = controlCell(word);
  return cell && !cell->isEnabled();
}

ValueRing* ParameterPage::ring(ParaWord word) const {
  return holdsWord(word) ? slot(word).ring : nullptr;
}

QSpinBox* ParameterPage::numeric(ParaWord word) const {
  return holdsWord(word) ? slot(word).numeric : nullptr;
}

std::size_t ParameterPage::triggerRingItems() const {
  return static_cast<std::size_t>(trigger_->itemCountWithoutExtra());
}

void ParameterPage::setTriggerRingItems(std::size_t count) {
  count = std::clamp(count, kTriggerItemsShort, kTriggerItemsFull);
  trigger_->setNamedItems(std::span(kTriggerItems).first(count));
}

// --- Callbacks --------------------------------------------------------------------

void ParameterPage::CBF_SlidePower() {}
void ParameterPage::CBF_EditGain() {}
void ParameterPage::CBF_EditDynWinLoHi() {}
void ParameterPage::CBF_EditAverage() {}
void ParameterPage::CBF_EditIntegral() {}
void ParameterPage::CBF_EditIntlim() {}

void ParameterPage::CBF_EditPmode() {
  emit modeControlCommitted(static_cast<int>(W::PowerMode));
}

void ParameterPage::CBF_EditLedMode() {
  emit modeControlCommitted(static_cast<int>(W::LedMode));
}

void ParameterPage::CBF_EditMaxVecNo() {
  emit modeControlCommitted(static_cast<int>(W::MaxVecNo));
}

void ParameterPage::CBF_EditDigOutmode() {
  emit modeControlCommitted(static_cast<int>(W::DigitalOutmode));
}

void ParameterPage::CBF_EditEvalmode() {
  emit modeControlCommitted(static_cast<int>(W::EvaluationMode));
}

void ParameterPage::CBF_EditCalcmode() {
  emit modeControlCommitted(static_cast<int>(W::CalculationMode));
}

void ParameterPage::CBF_EditExteach() {
  emit modeControlCommitted(static_cast<int>(W::ExternTeach));
}

void ParameterPage::CBF_EditTrigger() {
  emit modeControlCommitted(static_cast<int>(W::Trigger));
}

}  // namespace drq::gui
