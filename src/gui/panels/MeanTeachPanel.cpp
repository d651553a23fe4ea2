#include "gui/panels/MeanTeachPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

#include "core/params/ModeRules.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/panels/TeachPanelHost.h"
#include "gui/panels/TeachPanelTexts.h"
#include "gui/popups/Help.h"
#include "gui/widgets/TabOrder.h"

namespace drq::gui {

namespace {

constexpr std::uint32_t kResetIdle = 0xE0E0E0;
constexpr std::uint32_t kResetAsking = 0xFF0000;
// Starting values of the two tolerances (the FIRST HIT defaults).
constexpr int kDefaultColorValue = 100;
constexpr int kDefaultIntensityValue = 100;
constexpr int kMeanTableHeight = 48;
// Room around a column's widest text (the cell and heading margins).
constexpr int kColumnPadding = 12;

// The captions start as the mode rules set them for the default calculation
// mode.
MeanTeachCaptions startCaptions() {
  return *meanTeachCaptions(paraDefault(ParaWord::CalculationMode));
}

std::array<QString, 3> qStrings(const std::array<std::string_view, 3>& texts) {
  return {qStringFromLatin1(texts[0]), qStringFromLatin1(texts[1]), qStringFromLatin1(texts[2])};
}

QStringList columnHeadings() {
  return {QStringLiteral("RED"), QStringLiteral("GREEN"), QStringLiteral("BLUE"),
          QStringLiteral("X"),   QStringLiteral("Y"),     QStringLiteral("INT")};
}

// A control with its caption above it, in one widget (hidden together).
QWidget* captioned(QLabel* caption, QWidget* control, QWidget* parent) {
  auto* cell = new QWidget(parent);
  auto* layout = new QVBoxLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  caption->setBuddy(control);
  layout->addWidget(caption);
  layout->addWidget(control);
  return cell;
}

}  // namespace

MeanTeachPanel::MeanTeachPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("TEACHP1"), parent),
      counter_(new ValueDisplay(QStringLiteral("COUNTER"), this, 3)),
      colorDistance_(new ValueDisplay(qStringFromLatin1(startCaptions().color.distance), this, 6)),
      intensityDistance_(
          new ValueDisplay(qStringFromLatin1(startCaptions().intensity.distance), this, 5)),
      values_(new WordTable(static_cast<int>(kMeanCaptureRows), columnHeadings(), false, this)),
      means_(new WordTable(1, columnHeadings(), false, this)),
      colorSourceLabel_(new QLabel(this)),
      intensitySourceLabel_(new QLabel(this)),
      colorValueLabel_(new QLabel(this)),
      intensityValueLabel_(new QLabel(this)),
      colorSource_(new ValueRing(this)),
      intensitySource_(new ValueRing(this)),
      colorValue_(new QSpinBox(this)),
      intensityValue_(new QSpinBox(this)) {
  Popups& popups = context.popups;
  installHelp(this, popups, qStringFromLatin1(kHelpTeachP1));

  // --- Displays ---------------------------------------------------------------------
  const char* rgbNames[] = {"DispTP1Red", "DispTP1Green", "DispTP1Blue"};
  const char* rgbCaptions[] = {"RED", "GREEN", "BLUE"};
  for (std::size_t c = 0; c < live_.size(); ++c) {
    live_[c] = new ValueDisplay(qStringFromLatin1(rgbCaptions[c]), this);
    live_[c]->setObjectName(QLatin1String(rgbNames[c]));
    live_[c]->setAccessibleName(qStringFromLatin1(rgbCaptions[c]));
    installHelp(live_[c], popups, qStringFromLatin1(kHelpTp1Rgb));
  }
  counter_->setObjectName(QStringLiteral("DispTP1Counter"));
  counter_->setAccessibleName(QStringLiteral("COUNTER"));
  installHelp(counter_, popups, qStringFromLatin1(kHelpTp1Counter));
  colorDistance_->setObjectName(QStringLiteral("DispTP1MaxDeltaXY"));
  installHelp(colorDistance_, popups, qStringFromLatin1(kHelpTp1MaxDeltaXy));
  intensityDistance_->setObjectName(QStringLiteral("DispTP1MaxDeltaInt"));
  installHelp(intensityDistance_, popups, qStringFromLatin1(kHelpTp1MaxDeltaInt));

  // --- Tables -----------------------------------------------------------------------
  values_->setObjectName(QStringLiteral("GridTP1Values"));
  values_->setAccessibleName(QStringLiteral("CAPTURED VALUES"));
  installHelp(values_, popups, qStringFromLatin1(kHelpTp1Values));
  connect(values_, &WordTable::cellValueChanged, this, &MeanTeachPanel::CBF_GridTP1Values);

  means_->setObjectName(QStringLiteral("GridTP1Mean"));
  means_->setAccessibleName(QStringLiteral("MEAN VALUES"));
  means_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  means_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  means_->setRowLabel(0, QStringLiteral("MEAN"));
  means_->setFixedHeight(kMeanTableHeight);
  installHelp(means_, popups, qStringFromLatin1(kHelpTp1Mean));

  // --- Tolerances -------------------------------------------------------------------
  const MeanTeachCaptions start = startCaptions();
  setColorSourceItems(qStrings(start.color.items));
  colorSource_->setObjectName(QStringLiteral("EditTP1TeachCtoWith"));
  installHelp(colorSource_, popups, qStringFromLatin1(kHelpTp1TeachCtoWith));
  setIntensitySourceItems(qStrings(start.intensity.items));
  intensitySource_->setObjectName(QStringLiteral("EditTP1TeachItoWith"));
  installHelp(intensitySource_, popups, qStringFromLatin1(kHelpTp1TeachItoWith));
  for (QSpinBox* spin : {colorValue_, intensityValue_}) {
    spin->setRange(0, 0xFFFF);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  colorValue_->setValue(kDefaultColorValue);
  intensityValue_->setValue(kDefaultIntensityValue);
  colorValue_->setObjectName(QStringLiteral("EditTP1ValueCto"));
  installHelp(colorValue_, popups, qStringFromLatin1(kHelpTp1ValueCto));
  intensityValue_->setObjectName(QStringLiteral("EditTP1ValueIto"));
  installHelp(intensityValue_, popups, qStringFromLatin1(kHelpTp1ValueIto));
  setColorSourceLabel(qStringFromLatin1(start.color.ring));
  setIntensitySourceLabel(qStringFromLatin1(start.intensity.ring));
  setColorValueLabel(qStringFromLatin1(start.color.value));
  setIntensityValueLabel(qStringFromLatin1(start.intensity.value));
  colorSourceCell_ = captioned(colorSourceLabel_, colorSource_, this);
  intensitySourceCell_ = captioned(intensitySourceLabel_, intensitySource_, this);
  colorValueCell_ = captioned(colorValueLabel_, colorValue_, this);
  intensityValueCell_ = captioned(intensityValueLabel_, intensityValue_, this);

  // --- Buttons ----------------------------------------------------------------------
  capture_ = addButton("&CAPTURE", "ButtonTP1Capture", kHelpTp1Capture);
  undo_ = addButton("&UNDO", "ButtonTP1Undo", kHelpTp1Undo);
  reset_ = addButton("RESET", "ButtonTP1ResetTable", kHelpTp1Reset);
  teach_ = addButton("&TEACH", "ButtonTP1Teach", kHelpTp1Teach);
  close_ = addButton("CLOSE", "ButtonCloseTeachPanel", kHelpTp1Close);
  connect(capture_, &QPushButton::clicked, this, &MeanTeachPanel::CBF_ButtonTP1Capture);
  connect(undo_, &QPushButton::clicked, this, &MeanTeachPanel::CBF_ButtonTP1Undo);
  connect(reset_, &QPushButton::clicked, this, &MeanTeachPanel::CBF_ButtonTP1ResetTable);
  connect(teach_, &QPushButton::clicked, this, &MeanTeachPanel::CBF_ButtonTP1Teach);
  connect(close_, &QPushButton::clicked, this, &MeanTeachPanel::CBF_ButtonCloseTeachPanel);
  setResetColor(kResetIdle);

  // --- Layout -----------------------------------------------------------------------
  auto* top = new QHBoxLayout();
  top->setSpacing(4);
  for (ValueDisplay* display : live_) top->addWidget(display);
  top->addSpacing(4);
  top->addWidget(counter_);
  top->addStretch(1);

  // The distances beside the tolerances they can be taught with.
  auto* tolerances = new QGridLayout();
  tolerances->setHorizontalSpacing(6);
  tolerances->setVerticalSpacing(4);
  tolerances->addWidget(colorDistance_, 0, 0, Qt::AlignBottom);
  tolerances->addWidget(colorSourceCell_, 0, 1);
  tolerances->addWidget(colorValueCell_, 0, 2);
  tolerances->addWidget(intensityDistance_, 1, 0, Qt::AlignBottom);
  tolerances->addWidget(intensitySourceCell_, 1, 1);
  tolerances->addWidget(intensityValueCell_, 1, 2);
  tolerances->setColumnStretch(1, 2);
  tolerances->setColumnStretch(2, 1);

  auto* buttons = new QGridLayout();
  buttons->setSpacing(4);
  buttons->addWidget(capture_, 0, 0);
  buttons->addWidget(undo_, 0, 1);
  buttons->addWidget(reset_, 0, 2);
  buttons->addWidget(teach_, 1, 0, 1, 2);
  buttons->addWidget(close_, 1, 2);

  QVBoxLayout* layout = panelLayout();
  // Narrow side margins: the three button columns set the panel's width, which
  // must fit the display area of the default window.
  layout->setContentsMargins(2, 6, 2, 6);
  layout->setSpacing(6);
  layout->addLayout(top);
  layout->addWidget(values_, 1);
  layout->addWidget(means_);
  layout->addLayout(tolerances);
  layout->addLayout(buttons);
  // Row by row: each tolerance's source, then its value.
  chainTabOrder(*this, {values_, means_, colorSource_, colorValue_, intensitySource_,
                        intensityValue_, capture_, undo_, reset_, teach_, close_});

  fitColumnsToHeadings();
  showState();
}

void MeanTeachPanel::fitColumnsToHeadings() {
  // A column is never narrower than its heading or a 5-digit value: where the
  // display area is narrow (the default window) the values table scrolls
  // sideways instead of clipping "GREEN". The mean table keeps the values
  // table's columns and follows its scrolling, so each mean stays under its
  // column.
  QHeaderView* header = values_->horizontalHeader();
  const QFontMetrics headingFont(header->font());
  const QFontMetrics cellFont(values_->font());
  int widest = cellFont.horizontalAdvance(QStringLiteral("65535"));
  for (const QString& heading : columnHeadings()) {
    widest = std::max(widest, headingFont.horizontalAdvance(heading));
  }
  header->setMinimumSectionSize(widest + kColumnPadding);
  values_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  QHeaderView* meanHeader = means_->horizontalHeader();
  meanHeader->setMinimumSectionSize(widest + kColumnPadding);
  for (int column = 0; column < static_cast<int>(kMeanColumns); ++column) {
    meanHeader->setSectionResizeMode(column, QHeaderView::Fixed);
  }
  connect(header, &QHeaderView::sectionResized, meanHeader,
          [meanHeader](int column, int, int size) { meanHeader->resizeSection(column, size); });
  connect(values_->horizontalScrollBar(), &QScrollBar::valueChanged, means_->horizontalScrollBar(),
          &QScrollBar::setValue);
  // One row-label width for both tables ("100" and "MEAN").
  const int labels =
      QFontMetrics(values_->verticalHeader()->font()).horizontalAdvance(QStringLiteral("MEAN")) +
      kColumnPadding;
  values_->verticalHeader()->setFixedWidth(labels);
  means_->verticalHeader()->setFixedWidth(labels);
}

// --- Captions ------------------------------------------------------------------------

void MeanTeachPanel::registerRuleControls(RuleControls& controls) {
  using C = PanelControl;
  constexpr C kColumns[] = {C::MeanColumn4, C::MeanColumn5, C::MeanColumn6};
  for (int i = 0; i < 3; ++i) {
    controls.add(kColumns[i],
                 {.relabel = [this, i](const QString& text) { setCoordinateHeading(i, text); }});
  }
  // The distance is relabelled for a new calculation mode: D is recomputed
  // for it, since it depends on the mode (the 3D modes count the intensity).
  controls.add(C::MeanDistance, {.relabel = [this](const QString& text) {
                 setColorDistanceLabel(text);
                 recalculate(context().session.working.record[ParaWord::CalculationMode]);
               }});
  controls.add(C::MeanFirstValue,
               {.dim = [this](bool dimmed) { colorValueCell_->setEnabled(!dimmed); },
                .relabel = [this](const QString& text) { setColorValueLabel(text); }});
  controls.add(
      C::MeanFirstRing,
      {.dim = [this](bool dimmed) { colorSourceCell_->setEnabled(!dimmed); },
       .relabel = [this](const QString& text) { setColorSourceLabel(text); },
       .ringItems = [this](const std::array<QString, 3>& items) { setColorSourceItems(items); }});
  controls.add(C::MeanSecondDistance,
               {.show = [this](bool on) { intensityDistance_->setVisible(on); },
                .relabel = [this](const QString& text) { setIntensityDistanceLabel(text); }});
  controls.add(C::MeanSecondValue,
               {.show = [this](bool on) { intensityValueCell_->setVisible(on); },
                .relabel = [this](const QString& text) { setIntensityValueLabel(text); }});
  controls.add(
      C::MeanSecondRing,
      {.show = [this](bool on) { intensitySourceCell_->setVisible(on); },
       .relabel = [this](const QString& text) { setIntensitySourceLabel(text); },
       .ringItems =
           [this](const std::array<QString, 3>& items) { setIntensitySourceItems(items); }});
  controls.add(C::MeanTeach, {.dim = [this](bool dimmed) {
                 teachDimmedByMode_ = dimmed;
                 updateTeachButton();
               }});
}

void MeanTeachPanel::setCoordinateHeading(int index, const QString& heading) {
  if (index < 0 || index > 2) return;
  const int column = static_cast<int>(kMeanColumnX) + index;
  values_->setColumnHeading(column, heading);
  means_->setColumnHeading(column, heading);
}

void MeanTeachPanel::setColorDistanceLabel(const QString& text) {
  colorDistance_->setCaption(text);
  colorDistance_->setAccessibleName(text);
}

void MeanTeachPanel::setIntensityDistanceLabel(const QString& text) {
  intensityDistance_->setCaption(text);
  intensityDistance_->setAccessibleName(text);
}

void MeanTeachPanel::setColorValueLabel(const QString& text) {
  colorValueLabel_->setText(text);
  colorValue_->setAccessibleName(text);
}

void MeanTeachPanel::setIntensityValueLabel(const QString& text) {
  intensityValueLabel_->setText(text);
  intensityValue_->setAccessibleName(text);
}

void MeanTeachPanel::setColorSourceLabel(const QString& text) {
  colorSourceLabel_->setText(text);
  colorSource_->setAccessibleName(text);
}

void MeanTeachPanel::setIntensitySourceLabel(const QString& text) {
  intensitySourceLabel_->setText(text);
  intensitySource_->setAccessibleName(text);
}

void MeanTeachPanel::setRingItems(ValueRing* ring, const std::array<QString, 3>& items) {
  ring->setItems(
      {{items[0], 0}, {items[1], 1}, {items[2], 2}, {qStringFromLatin1(kKeepTableTolerance), 3}});
}

void MeanTeachPanel::setColorSourceItems(const std::array<QString, 3>& items) {
  setRingItems(colorSource_, items);
}

void MeanTeachPanel::setIntensitySourceItems(const std::array<QString, 3>& items) {
  setRingItems(intensitySource_, items);
}

// --- Showing the state ---------------------------------------------------------------

void MeanTeachPanel::showLiveColour(const LiveFrame& frame) {
  live_[0]->setValue(frame[FrameWord::Red]);
  live_[1]->setValue(frame[FrameWord::Green]);
  live_[2]->setValue(frame[FrameWord::Blue]);
}

void MeanTeachPanel::showState() {
  for (std::size_t r = 0; r < kMeanCaptureRows; ++r) {
    for (std::size_t c = 0; c < kMeanColumns; ++c) {
      values_->setValue(static_cast<int>(r), static_cast<int>(c), state_.rows[r][c]);
    }
  }
  showMeans();
}

void MeanTeachPanel::showMeans() {
  counter_->setValue(state_.count);
  for (std::size_t c = 0; c < kMeanColumns; ++c) {
    means_->setValue(0, static_cast<int>(c), state_.means[c]);
  }
  colorDistance_->setValue(static_cast<int>(state_.colorDistance));
  intensityDistance_->setValue(static_cast<int>(state_.intensityDistance));
  updateTeachButton();
}

void MeanTeachPanel::updateTeachButton() {
  teach_->setEnabled(!teachDimmedByMode_ && state_.count > 0);
}

void MeanTeachPanel::recalculate(std::uint16_t calculationMode) {
  // Without captures the tables keep what Reset or Undo left in them.
  if (state_.count == 0) return;
  CalcMeanValues(state_, calculationMode);
  showMeans();
}

void MeanTeachPanel::makeActiveRow(std::size_t row) {
  values_->setCurrentCell(static_cast<int>(row), 0);
  values_->scrollToItem(values_->item(static_cast<int>(row), 0));
}

void MeanTeachPanel::setResetColor(std::uint32_t rgb) {
  resetColor_ = rgb;
  reset_->setStyleSheet(
      QStringLiteral("QPushButton { background-color: #%1; }").arg(rgb, 6, 16, QLatin1Char('0')));
}

std::uint16_t MeanTeachPanel::calculationMode() {
  if (host_) return host_->readTeachModes().calculation;
  return context().session.working.record[ParaWord::CalculationMode];
}

// --- Callbacks -----------------------------------------------------------------------

void MeanTeachPanel::startAcquisitionIfIdle() {
  if (!host_) return;
  // A loop that runs already (GO) feeds the panel; none is started beside it.
  OperationGuard guard = context().operations.start(Operation::MeanValueTeach);
  if (!guard) return;
  host_->redrawTeachFigures();
  host_->runLiveLoop();
}

void MeanTeachPanel::CBF_ButtonTP1Capture() {
  if (host_) host_->showCurrentFrame();  // the frame captured is the one shown
  const std::size_t row = CaptureFrame(state_, context().session.CurrentFrame, calculationMode());
  for (std::size_t c = 0; c < kMeanColumns; ++c) {
    values_->setValue(static_cast<int>(row), static_cast<int>(c), state_.rows[row][c]);
  }
  makeActiveRow(row);
  showMeans();
}

void MeanTeachPanel::CBF_ButtonTP1Undo() {
  const std::size_t removed = std::min<std::size_t>(state_.count, kMeanCaptureRows);
  const std::size_t active = UndoCapture(state_, calculationMode());
  // The removed capture's row: n + 1 after the counter went down.
  const std::size_t cleared = removed > 0 ? removed - 1 : 0;
  for (std::size_t c = 0; c < kMeanColumns; ++c) {
    values_->setValue(static_cast<int>(cleared), static_cast<int>(c), 0);
  }
  makeActiveRow(active);
  showMeans();
}

void MeanTeachPanel::CBF_ButtonTP1ResetTable() {
  setResetColor(kResetAsking);
  const bool yes = context().popups.ConfirmPopup(qStringFromLatin1(kTitleAttention),
                                                 qStringFromLatin1(kConfirmResetTable));
  if (yes) {
    ResetTeachMeanPanelTable(state_);
    showState();
    makeActiveRow(0);
  }
  setResetColor(kResetIdle);
}

void MeanTeachPanel::CBF_GridTP1Values(int row, int column, std::uint16_t value) {
  if (row < 0 || column < 0 || static_cast<std::size_t>(row) >= kMeanCaptureRows ||
      static_cast<std::size_t>(column) >= kMeanColumns) {
    return;
  }
  state_.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = value;
  CalcMeanValues(state_, calculationMode());
  showMeans();
}

void MeanTeachPanel::CBF_ButtonTP1Teach() {
  // Nothing captured: there are no means to teach.
  if (!host_ || state_.count == 0) return;
  const TeachModes modes = host_->readTeachModes();
  // D as the mode taught with has it, whatever mode the captures were made in.
  recalculate(modes.calculation);
  MeanTeachInput input;
  input.row = host_->teachRow();
  input.autoIncrement = host_->teachAutoIncrement();
  input.evaluationMode = modes.evaluation;
  input.calculationMode = modes.calculation;
  input.means = state_.means;
  input.colorDistance = state_.colorDistance;
  input.intensityDistance = state_.intensityDistance;
  input.colorSource = colorSource_->value();
  input.intensitySource = intensitySource_->value();
  input.colorValue = static_cast<std::uint16_t>(colorValue_->value());
  input.intensityValue = static_cast<std::uint16_t>(intensityValue_->value());
  TeachTable table = host_->shownTeachTable();
  const MeanTeachResult result = TeachToTable(table, input);
  if (!result.changed) return;  // THD RGB (its TEACH is dimmed), a bad row or mode
  host_->showTaughtTable(table, result.nextRow);
}

void MeanTeachPanel::CBF_ButtonCloseTeachPanel() {
  context().session.RunFlag.clear();
  context().panels.ShowChildPanelDisp(ChildPanel::DATAP);
}

}  // namespace drq::gui
