// The calibration and offset pages on their own, against the virtual sensor:
// help, the operations and the white calibration.
#include <gtest/gtest.h>

#include <QEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/PopupTitles.h"
#include "core/Session.h"
#include "core/calib/Calibration.h"
#include "core/calib/WhiteCalibration.h"
#include "core/protocol/Frame.h"
#include "gui/common/Texts.h"
#include "gui/operations/ButtonDimmer.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/OffsetPage.h"
#include "link/LinkSetup.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/SensorHost.h"

namespace drq::gui {
namespace {

struct Request {
  std::uint8_t order;
  std::uint16_t argument;
  bool operator==(const Request&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Request& r) {
  return os << "{" << int(r.order) << ", " << r.argument << "}";
}

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

LiveFrame rawFrame(std::int16_t red, std::int16_t green, std::int16_t blue) {
  LiveFrame f;
  f[FrameWord::RawRed] = red;
  f[FrameWord::RawGreen] = green;
  f[FrameWord::RawBlue] = blue;
  return f;
}

// Counts the paint events a widget gets.
class PaintCounter final : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The display area's switch, which these pages never use.
struct NoPanels final : ChildPanelSwitch {
  void ShowChildPanelDisp(ChildPanel panel) override { shown = panel; }
  ChildPanel currentChildPanel() const override { return shown; }
  ChildPanel shown = ChildPanel::DATAP;
};

// Failure reports, as the connection page would show them.
struct Reports final : FailureReport {
  std::vector<std::string> messages;
  void linkFailed(std::string_view message) override { messages.emplace_back(message); }
};

class CalibrationPages : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start()) << sensor.errorString().toStdString();
    LinkState& state = session.link.state();
    state.protocol = kProtocolTcp;
    state.serverAddress = "127.0.0.1";
    state.serverPort = sensor.port();
    session.link.setFailureReport(&reports);
    ASSERT_EQ(InitTCP_IP(session.link), 0);
    state.linkUp = true;
    calibration = std::make_unique<CalibrationPage>(context);
    offset = std::make_unique<OffsetPage>(context);
    calibration->registerOperationButtons(operations.dimmer());
    offset->registerOperationButtons(operations.dimmer());
    // What the main window joins: each page shows its half of a GetCF.
    QObject::connect(calibration.get(), &CalibrationPage::calibrationRead, offset.get(),
                     &OffsetPage::showCalibration);
    QObject::connect(offset.get(), &OffsetPage::calibrationRead, calibration.get(),
                     &CalibrationPage::showCalibration);
    QObject::connect(calibration.get(), &CalibrationPage::liveAcquisitionRequested,
                     calibration.get(), [this] {
                       ++liveStarts;
                       // GO starts as an operation of its own.
                       idleAtLiveRequest = operations.canStart();
                     });
    sensor.model().clearRequestLog();
  }

  std::vector<Request> requests() {
    std::vector<Request> seen;
    for (const auto& r : sensor.model().requestLog()) seen.push_back({r.order, r.argument});
    sensor.model().clearRequestLog();
    return seen;
  }

  void setCalibration(ChannelWords factors, ChannelWords offsets) {
    sim::Calibration c;
    c.factors = factors;
    c.offsets = offsets;
    sensor.model().setCalibration(c);
  }

  sim::EmbeddedSensor sensor;
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  NoPanels panels;
  ShellContext context{session, popups, operations, panels};
  Reports reports;
  std::unique_ptr<CalibrationPage> calibration;
  std::unique_ptr<OffsetPage> offset;
  int liveStarts = 0;
  bool idleAtLiveRequest = false;
};

// A right click shows the help and nothing else: no order reaches the
// sensor, the offset page stays open. (The texts: HelpTextsGoldenTest.)
TEST_F(CalibrationPages, ARightClickOnAnyControlOnlyShowsItsHelp) {
  const std::vector<QWidget*> controls = {
      calibration->sendCFButton(),    calibration->getCFButton(),
      calibration->calcCFButton(),    calibration->selfCalibrationButton(),
      calibration->factorField(0),    calibration->setValueField(),
      calibration->maxDeltaField(),   calibration->rawBar(1),
      calibration->rawDeltaDisplay(), calibration->calibratedBar(0),
      offset->sendOffsetButton(),     offset->getOffsetButton(),
      offset->calcOffsetButton(),     offset->offsetField(1),
      offset->closeButton(),
  };
  int closes = 0;
  QObject::connect(offset.get(), &OffsetPage::closeRequested, [&] { ++closes; });
  for (QWidget* control : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    EXPECT_FALSE(control->accessibleName().isEmpty());
    popups.clearRecords();
    QTest::mouseClick(control, Qt::RightButton);
    ASSERT_EQ(popups.records().size(), 1u);
    EXPECT_EQ(popups.records()[0].kind, PopupKind::Message);
  }
  EXPECT_TRUE(requests().empty());
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(calibration->factors(), kNeutralFactors);
  EXPECT_EQ(calibration->factorField(0)->maximum(), 4096);

  QTest::mouseClick(offset->closeButton(), Qt::LeftButton);
  EXPECT_EQ(closes, 1);
}

TEST_F(CalibrationPages, GetAndSendMoveFactorsAndOffsetsBetweenPagesAndSensor) {
  setCalibration({1152, 1024, 921}, {12, 7, 30});
  calibration->getCFButton()->click();
  EXPECT_EQ(calibration->factors(), (ChannelWords{1152, 1024, 921}));
  EXPECT_EQ(offset->offsets(), (ChannelWords{12, 7, 30}));

  calibration->factorField(2)->setValue(1000);
  offset->offsetField(0)->setValue(44);
  calibration->sendCFButton()->click();
  offset->sendOffsetButton()->click();
  EXPECT_EQ(sensor.model().calibration().factors, (std::array<std::uint16_t, 3>{1152, 1024, 1000}));
  EXPECT_EQ(sensor.model().calibration().offsets, (std::array<std::uint16_t, 3>{44, 7, 30}));

  setCalibration({900, 901, 902}, {1, 2, 3});
  offset->getOffsetButton()->click();
  EXPECT_EQ(calibration->factors(), (ChannelWords{900, 901, 902}));
  EXPECT_EQ(offset->offsets(), (ChannelWords{1, 2, 3}));
  EXPECT_EQ(requests(), (std::vector<Request>{{102, 0}, {101, 0}, {101, 1}, {102, 0}}));
  EXPECT_TRUE(reports.messages.empty());
  EXPECT_TRUE(calibration->sendCFButton()->isEnabled());  // undimmed afterwards
}

TEST_F(CalibrationPages, AFactorBeyondTheFieldsRangeShowsAtTheLimitAndIsNamed) {
  setCalibration({5000, 1024, 4096}, {0, 0, 0});
  calibration->getCFButton()->click();
  EXPECT_EQ(calibration->factors(), (ChannelWords{4096, 1024, 4096}));
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, qs(kTitleAttention));
  EXPECT_EQ(popups.records()[0].text,
            QString::fromLatin1(kMsgValuesLimited) + QStringLiteral("CF RED 5000 -> 4096\n"));
  popups.clearRecords();
  setCalibration({4096, 0, 1}, {0, 0, 0});
  calibration->getCFButton()->click();
  EXPECT_TRUE(popups.records().empty());

  // A set value of 0 would zero every channel.
  calibration->setValueField()->setValue(0);
  EXPECT_EQ(calibration->setValue(), 1);
  calibration->setValueField()->setValue(5000);
  EXPECT_EQ(calibration->setValue(), 4096);
}

TEST_F(CalibrationPages, CalculateOffsetAsksFirstAndShowsWhatTheSensorFound) {
  popups.answerConfirm(false);
  offset->calcOffsetButton()->click();
  EXPECT_TRUE(requests().empty());
  ASSERT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(popups.records()[0].title, qs(kTitleCalculateOffset));
  EXPECT_EQ(popups.records()[0].text, qs(kMsgCoverReceiver));

  popups.answerConfirm(true);
  offset->calcOffsetButton()->click();
  EXPECT_EQ(requests(), (std::vector<Request>{{100, 1}, {102, 0}}));
  EXPECT_EQ(offset->offsets(), sensor.model().calibration().offsets);
}

TEST_F(CalibrationPages, SelfCalibrationShowsFactorsSetValueAndDeltaAndStoresNothing) {
  const auto before = sensor.model().calibration();
  popups.answerConfirm(true);
  calibration->selfCalibrationButton()->click();
  EXPECT_EQ(requests(), (std::vector<Request>{{103, 0}}));
  EXPECT_EQ(calibration->setValue(), 1500);
  EXPECT_EQ(calibration->maxDelta(), 400);
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[0].title, qs(kTitleSendPower));
  EXPECT_EQ(popups.records()[1].title, qs(kTitleAttention));
  EXPECT_EQ(popups.records()[1].text, qs(kMsgConfirmSelfCalibration));
  EXPECT_EQ(sensor.model().calibration(), before);
}

TEST_F(CalibrationPages, WhiteCalibrationBlinksVisiblyPassesSendsAndStartsGo) {
  sensor.model().setScriptedFrames({rawFrame(800, 900, 1000)});
  calibration->setValueField()->setValue(900);
  calibration->maxDeltaField()->setValue(200);
  calibration->resize(400, 900);  // every control in view
  calibration->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(calibration.get()));
  PaintCounter counter;
  calibration->calcCFButton()->installEventFilter(&counter);
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  session.RunFlag.set(1);

  calibration->calcCFButton()->click();

  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_GE(counter.paints, 20);  // every colour change was drawn at once
  EXPECT_EQ(calibration->calcButtonColor(), kBlinkGrey);
  EXPECT_EQ(calibration->factors(), (ChannelWords{1152, 1024, 921}));
  const QStringList texts = popups.texts();
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], qs(kMsgSendPower));
  EXPECT_EQ(texts[1], qs(kMsgConfirmCalculation));
  EXPECT_EQ(popups.records()[2].title, qs(kTitleCalibrationPassed));
  EXPECT_EQ(texts[2], qs(kMsgCalibrationPassed));
  const auto seen = requests();
  ASSERT_EQ(seen.size(), 101u);
  EXPECT_EQ(seen.back(), (Request{101, 0}));
  EXPECT_EQ(sensor.model().calibration().factors, (std::array<std::uint16_t, 3>{1152, 1024, 921}));
  EXPECT_EQ(liveStarts, 1);
  EXPECT_TRUE(idleAtLiveRequest);
  EXPECT_TRUE(calibration->calcCFButton()->isEnabled());
  EXPECT_EQ(calibration->rawDisplay(0)->value(), 800);
  EXPECT_EQ(calibration->rawDeltaDisplay()->value(), 200);
  ASSERT_TRUE(calibration->lastWhiteCalibration().has_value());
  EXPECT_EQ(calibration->lastWhiteCalibration()->meanDelta, 200);
}

TEST_F(CalibrationPages, DecliningOrARejectionStillSendsThePagesFactorsAndStartsGo) {
  calibration->factorField(0)->setValue(1111);
  // SEND POWER declined: nothing at all.
  popups.answerConfirm(false);
  calibration->calcCFButton()->click();
  EXPECT_TRUE(requests().empty());
  EXPECT_EQ(liveStarts, 0);

  // CONFIRM CALCULATION declined.
  popups.clearRecords();
  popups.answerConfirm(true);
  popups.answerConfirm(false);
  calibration->calcCFButton()->click();
  ASSERT_EQ(popups.records().size(), 3u);
  EXPECT_EQ(popups.records()[2].title, qs(kTitleInfo));
  EXPECT_EQ(popups.records()[2].text, qs(kMsgCalculationDeclined));
  EXPECT_EQ(requests(), (std::vector<Request>{{101, 0}}));
  EXPECT_EQ(sensor.model().calibration().factors[0], 1111);
  EXPECT_EQ(liveStarts, 1);

  // A delta above the maximum: rejected, factors unchanged and sent.
  sensor.model().setScriptedFrames({rawFrame(800, 900, 1000)});
  calibration->maxDeltaField()->setValue(199);
  popups.clearRecords();
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  calibration->calcCFButton()->click();
  EXPECT_EQ(popups.records().back().title, qs(kTitleAttention));
  EXPECT_EQ(popups.records().back().text, qs(kMsgDeltaTooHigh));
  EXPECT_EQ(calibration->factors(), (ChannelWords{1111, 1024, 1024}));
  EXPECT_EQ(requests().back(), (Request{101, 0}));
  EXPECT_EQ(liveStarts, 2);
}

TEST_F(CalibrationPages, ASilentSensorEndsTheMeasurementAndComputesNothing) {
  std::string error;
  const auto rule = sim::parseFaultRule("order=8,kind=close", &error);
  ASSERT_TRUE(rule) << error;
  sensor.host().setFaultRules({*rule});
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  calibration->calcCFButton()->click();
  EXPECT_EQ(popups.records().back().title, qs(kTitleAttention));
  EXPECT_EQ(popups.records().back().text, qs(kMsgNoGoodFrames));
  EXPECT_EQ(calibration->factors(), kNeutralFactors);
  EXPECT_EQ(calibration->calcButtonColor(), kBlinkGrey);
  EXPECT_EQ(liveStarts, 1);
  EXPECT_FALSE(reports.messages.empty());
}

}  // namespace
}  // namespace drq::gui
