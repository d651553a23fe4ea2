// The recorder page on its own: a page, scripted popups, a dimmer, a host that
// logs what it is asked to show, and the virtual sensor in this thread.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/PopupTitles.h"
#include "core/Session.h"
#include "core/protocol/Frame.h"
#include "core/record/RecordFile.h"
#include "gui/operations/ButtonDimmer.h"
#include "gui/pages/RecorderPage.h"
#include "link/LinkSetup.h"
#include "sim/EmbeddedSensor.h"
#include "support/TempDir.h"

namespace drq::gui {
namespace {

namespace text = recorder_text;

class LoggingHost final : public RecorderHost {
 public:
  void InitPanelGraph() override { calls.push_back("init"); }
  void SetPanelGraphData() override {
    calls.push_back("graph");
    if (onFrame) onFrame(++frames);
  }
  void showRecordedFrame() override { calls.push_back("show"); }

  std::vector<std::string> calls;
  int frames = 0;
  std::function<void(int)> onFrame;  // after each SetPanelGraphData
};

class RecordingSwitch final : public ChildPanelSwitch {
 public:
  void ShowChildPanelDisp(ChildPanel panel) override { shown = panel; }
  ChildPanel currentChildPanel() const override { return shown; }
  ChildPanel shown = ChildPanel::DATAP;
};

class RecorderPageTest : public ::testing::Test {
 protected:
  RecorderPageTest() : context{session, popups, operations, panels}, page(context, &host) {
    page.registerOperationButtons(operations.dimmer());
    session.recordFile = dir.file("RecordFile.dat");
  }
  ~RecorderPageTest() override {
    closeLink(session.link);
    EXPECT_TRUE(popups.errors().isEmpty()) << popups.errors().join('\n').toStdString();
  }

  // Connects the session to a virtual sensor in this thread.
  void connectSensor() {
    ASSERT_TRUE(sensor.start());
    LinkState& state = session.link.state();
    state.protocol = kProtocolTcp;
    state.serverAddress = "127.0.0.1";
    state.serverPort = sensor.port();
    ASSERT_EQ(InitTCP_IP(session.link), 0);
    state.linkUp = true;
    sensor.model().clearRequestLog();
  }

  void chooseMode(RecordMode mode) {
    page.modeSelector()->setValue(static_cast<std::uint16_t>(mode));
    page.CBF_EditSelectDataRec();
  }

  std::vector<std::pair<int, int>> sensorRequests() const {
    std::vector<std::pair<int, int>> r;
    for (const auto& rec : sensor.model().requestLog()) r.emplace_back(rec.order, rec.argument);
    return r;
  }

  // Record lines of the record file, after `header`, without date and time.
  std::vector<std::string> recordedLines(const std::string& header) const {
    const std::string bytes = drq::test::readFileBytes(session.recordFile);
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    std::vector<std::string> lines;
    std::size_t at = std::min(header.size(), bytes.size());
    while (at < bytes.size()) {
      const std::size_t end = bytes.find("\r\n", at);
      if (end == std::string::npos) break;
      const std::string line = bytes.substr(at, end - at);
      lines.push_back(line.size() > 20 ? line.substr(20) : line);  // after "mm-dd-yyyy\thh:mm:ss\t"
      at = end + 2;
    }
    return lines;
  }

  QStringList texts() const { return popups.texts(); }

  drq::test::TempDir dir;
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  RecordingSwitch panels;
  ShellContext context;
  LoggingHost host;
  RecorderPage page;
  mutable sim::EmbeddedSensor sensor;
};

const QString kSaved = QString::fromLatin1(text::kFileSaved);
const QString kRightName = QString::fromLatin1(text::kRightFileName);
const QString kNotOpened = QString::fromLatin1(text::kFileNotOpened);

TEST_F(RecorderPageTest, EachModeShowsExactlyItsControls) {
  page.show();
  const std::vector<QWidget*> controls = {page.intervalField(),
                                          page.countField(),
                                          page.findChild<QWidget*>("DispRecordTimeSeconds"),
                                          page.findChild<QWidget*>("DispRecordedValues"),
                                          page.findChild<QWidget*>("DispRemaining"),
                                          page.findChild<QWidget*>("DispRecordedFrames"),
                                          page.startRecordButton(),
                                          page.stopRecordButton(),
                                          page.startTriggeredButton(),
                                          page.manualRecordButton()};
  // clang-format off
  const std::vector<std::vector<bool>> visible = {
      // interval count time recorded remaining frames start stop trig manual
      {true,  true,  true,  true,  true,  false, true,  true,  false, false},  // 0
      {true,  false, false, false, false, true,  true,  true,  false, false},  // 1
      {false, false, false, true,  false, false, false, false, false, true},   // 2
      {false, false, false, false, false, true,  false, true,  true,  false},  // 3
  };
  // clang-format on
  for (std::uint16_t mode = 0; mode < 4; ++mode) {
    chooseMode(static_cast<RecordMode>(mode));
    for (std::size_t c = 0; c < controls.size(); ++c) {
      ASSERT_NE(controls[c], nullptr);
      EXPECT_EQ(controls[c]->isVisible(), visible[mode][c])
          << "mode " << mode << ", " << controls[c]->objectName().toStdString();
    }
    for (QWidget* always :
         {static_cast<QWidget*>(page.selectFileButton()), page.findChild<QWidget*>("DispRecFile"),
          page.findChild<QWidget*>("DispRecordID"), static_cast<QWidget*>(page.modeSelector())}) {
      EXPECT_TRUE(always->isVisible()) << always->objectName().toStdString();
    }
  }
  EXPECT_EQ(host.calls, std::vector<std::string>(4, "init"));  // each mode change
}

TEST_F(RecorderPageTest, EveryControlHasAnAccessibleNameAndShowGraphShowsTheGraphPanel) {
  page.show();
  for (const char* name : {"ButtonSelRecFile", "DispRecFile", "ButtonStartRecord",
                           "ButtonStopRecord", "EditSelectDataRec", "EditInterval", "EditRecVal",
                           "DispRecordTimeDays", "DispRecordedValues", "DispRemaining"}) {
    auto* control = page.findChild<QWidget*>(QLatin1String(name));
    ASSERT_NE(control, nullptr) << name;
    EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
  }
  QTest::mouseClick(page.showGraphButton(), Qt::LeftButton);
  EXPECT_EQ(panels.shown, ChildPanel::GRAPHP);
}

TEST_F(RecorderPageTest, IntervalBelowAQuarterSecondIsRaisedAndTheRecordTimePredicted) {
  page.show();
  page.countField()->setValue(10);
  page.intervalField()->setFocus();
  page.intervalField()->selectAll();
  QTest::keyClicks(page.intervalField(), QStringLiteral("0.1"));
  QTest::keyClick(page.intervalField(), Qt::Key_Return);
  EXPECT_EQ(page.intervalField()->value(), 0.25);
  const auto shown = [&](const char* name) {
    return page.findChild<QLineEdit*>(QLatin1String(name))->text();
  };
  EXPECT_EQ(shown("DispRecordTimeDays"), QStringLiteral("0"));
  EXPECT_EQ(shown("DispRecordTimeHours"), QStringLiteral("0"));
  EXPECT_EQ(shown("DispRecordTimeMinutes"), QStringLiteral("0"));
  EXPECT_EQ(shown("DispRecordTimeSeconds"), QStringLiteral("2.5"));
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRemaining")->value(), 10);
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(RecorderPageTest, FileSelectionCancelledDeclinedAndConfirmed) {
  const auto path = dir.file("run.dat");
  const QString qpath = QString::fromStdString(path.string());
  ASSERT_TRUE(drq::test::writeFileBytes(path, "earlier\r\n"));
  const auto before = session.recordFile;

  popups.answerFile(0, QString());
  page.CBF_ButtonSelRecFile();
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[0].file.title, QStringLiteral("FILENAME!"));
  EXPECT_EQ(popups.records()[0].file.defaultName, QStringLiteral("RecordFile.dat"));
  EXPECT_EQ(popups.records()[0].file.filter, QStringLiteral("*.dat"));
  EXPECT_EQ(popups.records()[1].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[1].text, QString::fromLatin1(text::kNoFileSelected));
  EXPECT_EQ(session.recordFile, before);

  popups.clearRecords();
  popups.answerFile(1, qpath);
  popups.answerConfirm(false);
  page.CBF_ButtonSelRecFile();
  EXPECT_EQ(texts().last(), QString::fromLatin1(text::kFileExists));
  EXPECT_EQ(session.recordFile, before);
  EXPECT_EQ(drq::test::readFileBytes(path), "earlier\r\n");

  popups.clearRecords();
  popups.answerFile(1, qpath);
  popups.answerConfirm(true);
  page.CBF_ButtonSelRecFile();
  EXPECT_EQ(texts(), (QStringList{QString(), QString::fromLatin1(text::kFileExists), kNotOpened}));
  EXPECT_EQ(session.recordFile, path);
  EXPECT_EQ(page.findChild<QLineEdit*>("DispRecFile")->text(), qpath);
  // Started again: the header without a PANEL ID line, as no ID is set.
  EXPECT_EQ(drq::test::readFileBytes(path), recordHeader(""));

  // A new file with an ID text.
  session.sensorId = "PRESS 4";
  popups.clearRecords();
  popups.answerFile(2, QString::fromStdString(dir.file("new.dat").string()));
  page.CBF_ButtonSelRecFile();
  EXPECT_EQ(popups.records().size(), 1u);
  EXPECT_EQ(drq::test::readFileBytes(dir.file("new.dat")), recordHeader("PRESS 4"));
}

TEST_F(RecorderPageTest, HeaderThatCannotBeWrittenIsReportedWithPathAndReason) {
  const auto path = dir.path() / "missing" / "run.dat";
  popups.answerFile(2, QString::fromStdString(path.string()));
  page.CBF_ButtonSelRecFile();
  ASSERT_EQ(popups.records().size(), 2u);
  EXPECT_EQ(popups.records()[1].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[1].text, QString::fromLatin1(text::kHeaderNotWritten)
                                          .arg(QString::fromStdString(path.string()),
                                               QStringLiteral("No such file or directory")));
}

TEST_F(RecorderPageTest, CountZeroIsRefusedBeforeAnyQuestion) {
  connectSensor();
  page.countField()->setValue(0);
  page.CBF_ButtonStartRecord();
  EXPECT_EQ(texts(), QStringList{QString::fromLatin1(text::kCountZero)});
  EXPECT_EQ(popups.records()[0].title, QString::fromLatin1(kTitleAttention));
  EXPECT_TRUE(sensorRequests().empty());
  EXPECT_EQ(host.calls, std::vector<std::string>{"init"});
  EXPECT_TRUE(page.startRecordButton()->isEnabled());
}

TEST_F(RecorderPageTest, CountedRecordingWritesShowsAndCountsEveryFrame) {
  connectSensor();
  ASSERT_FALSE(writeRecordHeader(session.recordFile, ""));
  page.intervalField()->setValue(0.25);
  page.countField()->setValue(3);
  host.onFrame = [&](int) {
    // While recording: the start buttons are dimmed and red, Stop is usable.
    EXPECT_FALSE(page.startRecordButton()->isEnabled());
    EXPECT_FALSE(page.selectFileButton()->isEnabled());
    EXPECT_FALSE(page.intervalField()->isEnabled());
    EXPECT_TRUE(page.stopRecordButton()->isEnabled());
    EXPECT_EQ(RecorderPage::buttonColor(page.startRecordButton()), 0xFF0000u);
    EXPECT_TRUE(page.isRecording());
  };
  popups.answerConfirm(true);
  page.CBF_ButtonStartRecord();

  EXPECT_EQ(texts(), (QStringList{kRightName, kNotOpened, kSaved}));
  EXPECT_EQ(popups.records().back().title, QString::fromLatin1(kTitleInfo));
  EXPECT_EQ(sensorRequests(), (std::vector<std::pair<int, int>>(3, {ORDER_GET_DATA, 0})));
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"init", "graph", "show", "graph", "show", "graph", "show"}));
  EXPECT_EQ(recordedLines(recordHeader("")).size(), 3u);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedValues")->value(), 3);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRemaining")->value(), 0);
  EXPECT_TRUE(page.startRecordButton()->isEnabled());
  EXPECT_TRUE(page.intervalField()->isEnabled());
  EXPECT_EQ(RecorderPage::buttonColor(page.startRecordButton()), 0xE0E0E0u);
  EXPECT_FALSE(page.isRecording());
  EXPECT_FALSE(session.RunFlag.isSet());
}

TEST_F(RecorderPageTest, StopDuringTheIntervalWaitEndsTheOpenRecordingAtOnce) {
  connectSensor();
  chooseMode(RecordMode::Open);
  // The longest interval: only the stop can end the wait (a wait that the
  // stop did not end would outlast the test's time limit).
  page.intervalField()->setValue(page.intervalField()->maximum());
  ASSERT_GE(page.intervalField()->value(), 3600.0);
  // Stop is clicked 50 ms into the wait after the first frame.
  host.onFrame = [&](int) {
    QTimer::singleShot(50, &page,
                       [&] { QTest::mouseClick(page.stopRecordButton(), Qt::LeftButton); });
  };
  popups.answerConfirm(true);
  page.CBF_ButtonStartRecord();
  EXPECT_EQ(sensorRequests().size(), 1u);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedFrames")->value(), 1);
  EXPECT_EQ(texts().last(), kSaved);
}

TEST_F(RecorderPageTest, TriggeredRecordingAppendsPushedFramesAndStopsTheStream) {
  connectSensor();
  sensor.model().setAutoSendPeriodMs(20);
  chooseMode(RecordMode::Triggered);
  host.calls.clear();
  host.onFrame = [&](int frames) {
    EXPECT_FALSE(page.startTriggeredButton()->isEnabled());
    EXPECT_EQ(RecorderPage::buttonColor(page.startTriggeredButton()), 0xFF0000u);
    if (frames == 3) page.CBF_ButtonStopRecord();
  };
  popups.answerConfirm(true);
  page.CBF_ButtonStartTrigRec();
  EXPECT_EQ(texts(), (QStringList{kRightName, kNotOpened, kSaved}));
  const auto requests = sensorRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests.front(), (std::pair<int, int>{ORDER_AUTO_SEND, 1}));
  EXPECT_EQ(requests.back(), (std::pair<int, int>{ORDER_AUTO_SEND, 0}));
  EXPECT_EQ(recordedLines("").size(), 3u);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedFrames")->value(), 3);
  EXPECT_EQ(host.calls.front(), "init");
  EXPECT_EQ(RecorderPage::buttonColor(page.startTriggeredButton()), 0xE0E0E0u);
  EXPECT_TRUE(page.startTriggeredButton()->isEnabled());
}

TEST_F(RecorderPageTest, UnwritableRecordFileStopsTheRecordingWithoutClaimingItWasSaved) {
  connectSensor();
  session.recordFile = dir.path();  // a folder: no line can be written
  page.countField()->setValue(5);
  popups.answerConfirm(true);
  page.CBF_ButtonStartRecord();
  EXPECT_EQ(sensorRequests().size(), 1u);
  ASSERT_EQ(popups.records().size(), 3u);
  EXPECT_EQ(popups.records()[2].title, QString::fromLatin1(kTitleAttention));
  EXPECT_EQ(popups.records()[2].text, QString::fromLatin1(text::kLineNotWritten)
                                          .arg(QString::fromStdString(dir.path().string()),
                                               QStringLiteral("Is a directory")));
  EXPECT_FALSE(texts().contains(kSaved));
}

TEST_F(RecorderPageTest, ManualRecordAppendsTheCurrentFrameAndModeTwoStartsCountingAgain) {
  session.CurrentFrame.words[0] = -7;
  session.CurrentFrame.words[10] = -3;
  chooseMode(RecordMode::Manual);
  host.calls.clear();
  QTest::mouseClick(page.manualRecordButton(), Qt::LeftButton);
  QTest::mouseClick(page.manualRecordButton(), Qt::LeftButton);
  const auto lines = recordedLines("");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], lines[1]);
  EXPECT_EQ(lines[0], "-7\t0\t0\t0\t0\t0\t0\t0\t0\t0\t-3");
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedValues")->value(), 2);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"graph", "graph"}));
  EXPECT_TRUE(page.manualRecordButton()->isEnabled());

  chooseMode(RecordMode::Manual);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedValues")->value(), 0);
  EXPECT_EQ(page.recorder().counters().recorded, 0);
  EXPECT_TRUE(popups.records().empty());
}

TEST_F(RecorderPageTest, ChangingTheModeEndsARunningRecording) {
  connectSensor();
  chooseMode(RecordMode::Open);
  page.intervalField()->setValue(0.25);
  host.onFrame = [&](int frames) {
    if (frames == 2) chooseMode(RecordMode::Manual);
  };
  popups.answerConfirm(true);
  page.CBF_ButtonStartRecord();
  EXPECT_EQ(sensorRequests().size(), 2u);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_EQ(texts().last(), kSaved);
}

}  // namespace
}  // namespace drq::gui
