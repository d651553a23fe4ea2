// Calibration in the main window: the password, the pages joined by GetCF,
// the white calibration ending in GO, the shared dimming and the hardware file
// behind the connection page's button.
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/calib/HardwareFile.h"
#include "core/calib/WhiteCalibration.h"
#include "gui/ShellFixture.h"
#include "gui/common/TextConversion.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/CalibrationPage.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/pages/OffsetPage.h"
#include "gui/panels/PasswordPanel.h"
#include "gui/shell/WindowParts.h"
#include "sim/EmbeddedSensor.h"
#include "sim/SensorHost.h"

namespace drq::gui::test {
namespace {

class CalibrationWindow : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    sim::Calibration c;
    c.factors = {1152, 1024, 921};
    c.offsets = {12, 7, 30};
    sensor.model().setCalibration(c);
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
    sensor.model().clearRequestLog();
  }

  sim::EmbeddedSensor sensor;
};

TEST_F(CalibrationWindow, PasswordOpensTheOffsetPageWhoseGetFillsBothPages) {
  part<PasswordPanel>(*window).field()->setText(QStringLiteral("qortal"));
  part<PasswordPanel>(*window).CBF_StringEnterPW();
  EXPECT_EQ(window->activePage(), kPageOffset);

  find<QPushButton>("ButtonGetOffset")->click();
  EXPECT_EQ(find<OffsetPage>("OffsetPage")->offsets(), (ChannelWords{12, 7, 30}));
  EXPECT_EQ(find<CalibrationPage>("CalibrationPage")->factors(), (ChannelWords{1152, 1024, 921}));

  find<OffsetPage>("OffsetPage")->setOffsets({0, 0, 0});
  find<QPushButton>("ButtonGetCF")->click();
  EXPECT_EQ(find<OffsetPage>("OffsetPage")->offsets(), (ChannelWords{12, 7, 30}));

  find<QPushButton>("ButtonCloseOffsetCompensation")->click();
  EXPECT_EQ(window->activePage(), kPageParameter);
}

TEST_F(CalibrationWindow, OperationButtonsAreDimmedWithTheOthersWhileGoRuns) {
  bool dimmed = false;
  LiveMonitor& live = part<LiveMonitor>(*window);
  const auto connection = QObject::connect(&live, &LiveMonitor::frameShown, [&] {
    dimmed = true;
    for (const char* name :
         {"ButtonSendCF", "ButtonGetCF", "ButtonCalcCF", "ButtonStartSelfCalibration",
          "ButtonSendOffset", "ButtonGetOffset", "ButtonCalcOffset"}) {
      dimmed = dimmed && !find<QPushButton>(name)->isEnabled();
    }
    session.RunFlag.clear();
  });
  find<QPushButton>("ButtonGo")->click();
  QObject::disconnect(connection);
  EXPECT_TRUE(dimmed);
  EXPECT_TRUE(find<QPushButton>("ButtonCalcCF")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("ButtonCloseOffsetCompensation")->isEnabled());
}

TEST_F(CalibrationWindow, WhiteCalibrationSendsTheFactorsAndLeavesGoRunning) {
  LiveFrame white;
  white[FrameWord::RawRed] = 800;
  white[FrameWord::RawGreen] = 900;
  white[FrameWord::RawBlue] = 1000;
  sensor.model().setScriptedFrames({white});
  window->setActivePage(kPageCalibration);
  find<QSpinBox>("EditSetValue")->setValue(900);
  find<QSpinBox>("EditMaxDelta")->setValue(200);
  popups.answerConfirm(true);
  popups.answerConfirm(true);
  long frames = 0;
  const auto connection =
      QObject::connect(&part<LiveMonitor>(*window), &LiveMonitor::frameShown, [&] {
        if (++frames == 3) session.RunFlag.clear();
      });
  find<QPushButton>("ButtonCalcCF")->click();
  QObject::disconnect(connection);

  EXPECT_EQ(frames, 3);  // GO ran after the calibration
  EXPECT_EQ(find<CalibrationPage>("CalibrationPage")->factors(), (ChannelWords{1152, 1024, 921}));
  EXPECT_EQ(popups.records().back().title, qStringFromLatin1(kTitleCalibrationPassed));
  const auto& log = sensor.model().requestLog();
  ASSERT_EQ(log.size(), 104u);  // 100 frames, SEND CF, 3 frames of GO
  EXPECT_EQ(log[100].order, ORDER_SEND_CALIB);
  EXPECT_EQ(log[103].order, ORDER_GET_DATA);
  EXPECT_TRUE(find<QPushButton>("ButtonCalcCF")->isEnabled());
  EXPECT_TRUE(find<QPushButton>("ButtonSend")->isEnabled());
}

TEST_F(CalibrationWindow, HardwareFileButtonAppendsTheOutcomeToTheMessageBox) {
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  auto* button = find<QPushButton>("ButtonGenHwInfoFile");
  ASSERT_TRUE(button->isEnabled());

  // Cancelled: the pages are refreshed all the same. Afterwards the button
  // stays dimmed until the next successful identification.
  button->click();
  EXPECT_FALSE(button->isEnabled());
  ConnectionPage& connection = part<ConnectionPage>(*window);
  EXPECT_EQ(find<CalibrationPage>("CalibrationPage")->factors(), (ChannelWords{1152, 1024, 921}));
  EXPECT_EQ(find<OffsetPage>("OffsetPage")->offsets(), (ChannelWords{12, 7, 30}));
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().endsWith(
      qStringFromLatin1(kMsgNoHardwareFileSelected)));

  const auto path = dir.file("service.ini");
  popups.answerFile(2, QString::fromStdString(path.string()));
  connection.CBF_ButtonGenHwInfoFile();
  EXPECT_TRUE(part<ConnectionPage>(*window).messages().endsWith(
      qStringFromLatin1(kMsgHardwareFileSaved) + QString::fromStdString(path.string()) +
      QStringLiteral("\n\n")));
  EXPECT_EQ(session.hardwareFile, path);
  EXPECT_TRUE(find<QPushButton>("ButtonSendCF")->isEnabled());

  // drqctl writes the same bytes for the same sensor.
  HardwareFileContent expected;
  expected.identification = std::string(sim::kDefaultIdentification);
  const auto block = sensor.model().handleRequest(buildFrame(ORDER_GET_HW_INFO, kHwInfoGuard, {}));
  expected.block = hwInfoBlockOf(std::span(block.frame).subspan(kHeaderSize));
  expected.factors = {1152, 1024, 921};
  expected.offsets = {12, 7, 30};
  expected.set = sensor.model().ramSet(0);
  const auto reference = dir.file("expected.ini");
  ASSERT_TRUE(writeHardwareFile(reference, expected).ok());
  EXPECT_EQ(drq::test::readFileBytes(path), drq::test::readFileBytes(reference));

  // A file that cannot be written says why, and never that it was saved.
  const auto nowhere = dir.file("missing") / "hw.ini";
  popups.answerFile(2, QString::fromStdString(nowhere.string()));
  connection.CBF_ButtonGenHwInfoFile();
  const QString log = part<ConnectionPage>(*window).messages();
  EXPECT_TRUE(log.contains(qStringFromLatin1(kMsgHardwareFileNotSaved) +
                           QString::fromStdString(nowhere.string()) + QStringLiteral("\n")));
  EXPECT_FALSE(log.endsWith(qStringFromLatin1(kMsgHardwareFileSaved) +
                            QString::fromStdString(nowhere.string()) + QStringLiteral("\n\n")));
}

// The file holds what the sensor holds, also values the pages can only show
// at their limits (and say so), as drqctl hwinfo does.
TEST_F(CalibrationWindow, HardwareFileHoldsTheSensorsValuesBeyondThePagesRanges) {
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  sim::Calibration c = sensor.model().calibration();
  c.factors = {5000, 1024, 921};
  sensor.model().setCalibration(c);
  ParaSet set = sensor.model().ramSet(0);
  set.record[ParaWord::Power] = 1500;
  sensor.model().setRamSet(0, set);

  const auto path = dir.file("service.ini");
  popups.answerFile(2, QString::fromStdString(path.string()));
  part<ConnectionPage>(*window).CBF_ButtonGenHwInfoFile();
  EXPECT_EQ(find<CalibrationPage>("CalibrationPage")->factors(), (ChannelWords{4096, 1024, 921}));
  bool factorNamed = false;
  for (const auto& record : popups.records()) {
    factorNamed = factorNamed || record.text.endsWith(QStringLiteral("\n\nCF RED 5000 -> 4096\n"));
  }
  EXPECT_TRUE(factorNamed);

  HardwareFileContent expected;
  expected.identification = std::string(sim::kDefaultIdentification);
  const auto block = sensor.model().handleRequest(buildFrame(ORDER_GET_HW_INFO, kHwInfoGuard, {}));
  expected.block = hwInfoBlockOf(std::span(block.frame).subspan(kHeaderSize));
  expected.factors = c.factors;
  expected.offsets = c.offsets;
  expected.set = set;
  const auto reference = dir.file("expected.ini");
  ASSERT_TRUE(writeHardwareFile(reference, expected).ok());
  EXPECT_EQ(drq::test::readFileBytes(path), drq::test::readFileBytes(reference));
}

}  // namespace
}  // namespace drq::gui::test
