#include "gui/panels/DataPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/live/LiveState.h"
#include "gui/charts/ColourGraph.h"
#include "gui/charts/IntensityBar.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/common/TextConversion.h"
#include "gui/common/Texts.h"
#include "gui/panels/data/IntensityChartPage.h"
#include "gui/panels/data/LiveTexts.h"
#include "gui/panels/data/RgbChartPage.h"
#include "gui/panels/data/ThreeDGraphPage.h"
#include "gui/panels/data/TwoDGraphPage.h"
#include "gui/popups/Help.h"
#include "gui/widgets/KeyRoute.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpStatus =
    "Displays the state of the sensor connection. \nA right double click clears the message box "
    "of the connection panel.";

const QColor kTriggerOn(0x20, 0xC0, 0x30);
const QColor kOutputOn(0xFF, 0xB0, 0x00);
const QColor kPlainBackground(Qt::white);

}  // namespace

DataPanel::DataPanel(ShellContext& context, QWidget* parent)
    : QWidget(parent),
      scheduler_(new ReplotScheduler(this)),
      statusLabel_(new QLabel(QStringLiteral("SENSOR STATUS"), this)),
      status_(new QLineEdit(this)),
      targetLabel_(new QLabel(QStringLiteral("COM PORT"), this)),
      comPort_(new QLineEdit(this)),
      address_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("DATAP"));
  statusLabel_->setObjectName(QStringLiteral("DispStatusLabel"));
  status_->setObjectName(QStringLiteral("DispStatus"));
  statusLabel_->setBuddy(status_);
  status_->setReadOnly(true);
  status_->setFocusPolicy(Qt::NoFocus);
  installHelpWithRightDoubleClick(status_, context.popups, QString::fromLatin1(kHelpStatus),
                                  [this] { emit clearMessagesRequested(); });
  // The keys' way to what the right double-click does.
  installKeyRoute(*status_, KeyRouteKind::Clear, [this] { emit clearMessagesRequested(); });

  comPort_->setObjectName(QStringLiteral("DispComPort"));
  address_->setObjectName(QStringLiteral("DispIpAddress"));
  comPort_->setAccessibleName(QStringLiteral("COM PORT"));
  address_->setAccessibleName(QStringLiteral("SERVER"));
  for (QLineEdit* field : {comPort_, address_}) {
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
  }
  address_->hide();

  // Made in reading order, so that Tab follows it: the values above the
  // chart pages.
  QWidget* values = buildValueArea(context);
  pages_ = new QTabWidget(this);
  rgbPage_ = new RgbChartPage(context, *scheduler_);
  intensityPage_ = new IntensityChartPage(context, *scheduler_);
  twoDPage_ = new TwoDGraphPage(context, *scheduler_);
  threeDPage_ = new ThreeDGraphPage(context, *scheduler_);
  pages_->setObjectName(QStringLiteral("TabDataP1"));
  pages_->addTab(rgbPage_, QStringLiteral("RGB"));
  pages_->addTab(intensityPage_, QStringLiteral("INTENSITY"));
  // Short labels: the four tabs fit beside the parameter pages at the
  // window's default size.
  pages_->addTab(twoDPage_, QStringLiteral("2D"));
  pages_->addTab(threeDPage_, QStringLiteral("3D"));
  installHelp(pages_->tabBar(), context.popups, QString::fromLatin1(kHelpSelectTab));

  auto* statusRow = new QGridLayout();
  statusRow->addWidget(statusLabel_, 0, 0);
  statusRow->addWidget(targetLabel_, 0, 1);
  statusRow->addWidget(status_, 1, 0);
  statusRow->addWidget(comPort_, 1, 1);
  statusRow->addWidget(address_, 1, 1);
  statusRow->setColumnStretch(0, 3);
  statusRow->setColumnStretch(1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(statusRow);
  layout->addWidget(values);
  layout->addWidget(pages_, 1);

  if (const auto names = dispNamesFor(0)) SetDispNames(*names);
}

QWidget* DataPanel::buildValueArea(ShellContext& context) {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("DataValues"));
  Popups& popups = context.popups;
  const auto makeDisplay = [&](const char* caption, const char* name, const char* help) {
    auto* display = new ValueDisplay(QString::fromLatin1(caption), area);
    display->setObjectName(QLatin1String(name));
    installHelp(display, popups, QString::fromLatin1(help));
    return display;
  };
  red_ = makeDisplay("RED", "DispRED", kHelpDispRed);
  green_ = makeDisplay("GREEN", "DispGREEN", kHelpDispGreen);
  blue_ = makeDisplay("BLUE", "DispBLUE", kHelpDispBlue);
  x_ = makeDisplay("X", "DispX", kHelpDispX);
  y_ = makeDisplay("Y", "DispY", kHelpDispY);
  int_ = makeDisplay("INT", "DispINT", kHelpDispInt);
  deltaC_ = makeDisplay("delta C", "DispDeltaC", kHelpDispDeltaC);
  colorNumber_ = makeDisplay("C-No:", "DispCOL", kHelpDispCol);
  colorGroup_ = makeDisplay("GROUP", "DispGroup", kHelpDispGroup);
  connect(colorNumber_, &ValueDisplay::doubleClicked, this, &DataPanel::bigColorRequested);
  connect(colorGroup_, &ValueDisplay::doubleClicked, this, &DataPanel::bigGroupRequested);
  installKeyRoute(*colorNumber_, KeyRouteKind::Press, [this] { emit bigColorRequested(); });
  installKeyRoute(*colorGroup_, KeyRouteKind::Press, [this] { emit bigGroupRequested(); });

  triggerLed_ = new Led(QStringLiteral("TRIG"), kTriggerOn, area);
  triggerLed_->setObjectName(QStringLiteral("LedTrig"));
  installHelp(triggerLed_, popups, QString::fromLatin1(kHelpLedTrig));
  triggerLed_->hide();  // shown by SetLedTrigVis

  colorPatch_ = new ColorPatchView(area);
  colorPatch_->setObjectName(QStringLiteral("ColorPatch"));
  colorPatch_->setAccessibleName(QStringLiteral("measured colour"));
  colorPatch_->setFixedSize(red_->width(), red_->height());
  installHelp(colorPatch_, popups, QString::fromLatin1(kHelpColorPatch));

  auto* leds = new QWidget(area);
  leds->setObjectName(QStringLiteral("OutputLeds"));
  auto* ledLayout = new QHBoxLayout(leds);
  ledLayout->setContentsMargins(0, 0, 0, 0);
  ledLayout->setSpacing(4);
  for (int k = 0; k < kOutputLeds; ++k) {
    auto* led = new Led(QStringLiteral("OUT%1").arg(k), kOutputOn, leds);
    led->setObjectName(QStringLiteral("LedOut%1").arg(k));
    installHelp(led, popups, QString::fromLatin1(kHelpLedOut));
    led->hide();  // shown by the evaluation-mode rule
    outputLeds_[static_cast<std::size_t>(k)] = led;
    ledLayout->addWidget(led);
  }

  // Three rows, so that the panel fits beside the parameter pages: the
  // channels with the measured colour, the co-ordinates with the trigger
  // LED, and the evaluation (delta C, colour, group or the output LEDs).
  const auto row = [](std::initializer_list<QWidget*> widgets) {
    auto* line = new QHBoxLayout();
    line->setSpacing(6);
    for (QWidget* w : widgets) line->addWidget(w, 0, Qt::AlignBottom);
    line->addStretch(1);
    return line;
  };
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 2, 0, 2);
  layout->setSpacing(3);
  layout->addLayout(row({red_, green_, blue_, colorPatch_}));
  layout->addLayout(row({x_, y_, int_, triggerLed_}));
  layout->addLayout(row({deltaC_, colorNumber_, colorGroup_, leds}));
  return area;
}

void DataPanel::setStatus(const QString& value) {
  status_->setText(value);
  status_->setCursorPosition(0);
}

void DataPanel::setStatusLabel(const QString& label) {
  statusLabel_->setText(label);
}

void DataPanel::showLinkTarget(bool serial, const QString& comPort, const QString& address) {
  comPort_->setText(comPort);
  address_->setText(address);
  comPort_->setVisible(serial);
  address_->setVisible(!serial);
  targetLabel_->setText(serial ? QStringLiteral("COM PORT") : QStringLiteral("SERVER"));
}

void DataPanel::registerRuleControls(RuleControls& controls) {
  using C = PanelControl;
  controls.addWidget(C::DeltaC, deltaC_);
  controls.addWidget(C::ColorNumber, colorNumber_);
  controls.addWidget(C::ColorGroupDisplay, colorGroup_);
  constexpr C kOutputs[kOutputLeds] = {C::Out0, C::Out1, C::Out2, C::Out3, C::Out4};
  for (std::size_t i = 0; i < kOutputLeds; ++i) controls.addWidget(kOutputs[i], outputLeds_[i]);
  controls.add(C::ValueDisplays, {.show = [this](bool on) { setValueDisplaysVisible(on); }});
  controls.add(C::TriggerLed, {.show = [this](bool on) { setTriggerLedVisible(on); }});
  constexpr std::pair<C, int> kPages[] = {{C::IntensityChartPage, kDataPageIntensityChart},
                                          {C::Graph2dPage, kDataPage2dGraph},
                                          {C::Graph3dPage, kDataPage3dGraph}};
  for (const auto& [control, page] : kPages) {
    controls.add(control, {.show = [this, p = page](bool on) { setGraphPageVisible(p, on); }});
  }
  constexpr C kViews[] = {C::Graph3dView1, C::Graph3dView2, C::Graph3dView3};
  for (std::size_t view = 0; view < 3; ++view) {
    controls.add(kViews[view], {.relabel = [this, view](const QString& text) {
                   std::array<QString, 3> titles = threeDPage_->viewTitles();
                   titles[view] = text;
                   threeDPage_->setViewTitles(titles);
                 }});
  }
}

void DataPanel::readShownValues(LiveFrame& frame) const {
  const auto shown = [](const ValueDisplay* display) {
    return static_cast<std::int16_t>(display->value());
  };
  frame[FrameWord::X] = shown(x_);
  frame[FrameWord::Y] = shown(y_);
  frame[FrameWord::Int] = shown(int_);
  frame[FrameWord::Red] = shown(red_);
  frame[FrameWord::Green] = shown(green_);
  frame[FrameWord::Blue] = shown(blue_);
}

void DataPanel::clearTeachFigures() {
  twoDPage_->colourPlane().setFigures({});
  twoDPage_->intensityBar().setBand(std::nullopt);
  for (int view = 0; view < 3; ++view) threeDPage_->view(view).setFigures({});
}

void DataPanel::setValueDisplaysVisible(bool visible) {
  for (ValueDisplay* d : {x_, y_, int_}) d->setVisible(visible);
}

void DataPanel::SetDispNames(const DisplayNames& names) {
  x_->setCaption(qStringFromLatin1(names.x.label));
  x_->setColors(rgbColor(names.x.color), rgbColor(names.x.secondColor));
  y_->setCaption(qStringFromLatin1(names.y.label));
  y_->setColors(rgbColor(names.y.color), rgbColor(names.y.secondColor));
  int_->setCaption(qStringFromLatin1(names.intensity));
  int_->setColors(std::nullopt, kPlainBackground);
  const std::array<QString, 3> labels = {qStringFromLatin1(names.x.label),
                                         qStringFromLatin1(names.y.label),
                                         qStringFromLatin1(names.intensity)};
  intensityPage_->setCaptions(labels);
  twoDPage_->setCaptions(labels[0] + QLatin1Char('/') + labels[1], labels[2]);
}

void DataPanel::setTriggerLedVisible(bool visible) {
  triggerLed_->setVisible(visible);
}

void DataPanel::showFrame(const LiveFrame& frame, std::uint32_t colorPatch,
                          bool outputLedsFollowFrame) {
  red_->setValue(frame[FrameWord::Red]);
  green_->setValue(frame[FrameWord::Green]);
  blue_->setValue(frame[FrameWord::Blue]);
  x_->setValue(frame[FrameWord::X]);
  y_->setValue(frame[FrameWord::Y]);
  int_->setValue(frame[FrameWord::Int]);
  deltaC_->setValue(frame[FrameWord::DeltaC]);
  colorNumber_->setValue(frame[FrameWord::Color]);
  colorGroup_->setValue(frame[FrameWord::Group]);
  triggerLed_->setLit(frame[FrameWord::Trigger] != 0);
  colorPatch_->setColor(colorPatch);
  if (outputLedsFollowFrame) {
    const std::array<bool, 5> states = outputLedsOf(frame[FrameWord::Color]);
    for (std::size_t k = 0; k < states.size(); ++k) outputLeds_[k]->setLit(states[k]);
  }
  rgbPage_->showFrame(frame);
  intensityPage_->showFrame(frame);
  twoDPage_->showFrame(frame);
}

}  // namespace drq::gui
