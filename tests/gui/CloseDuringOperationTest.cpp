// Closing the window while an operation waits for the sensor's answer: the
// answer is awaited and taken as what it is, only the stop the operation's own
// end needs goes out afterwards, nothing is asked, the settings are stored,
// and the program ends once the operation has returned. And a second start
// of any operation while one runs does nothing.

#include <QPushButton>
#include <QTimer>

#include <string>
#include <vector>

#include "core/protocol/Frame.h"
#include "core/record/Recorder.h"
#include "gui/ShellFixture.h"
#include "gui/pages/RecorderPage.h"
#include "gui/pages/ScopePage.h"
#include "gui/widgets/ValueRing.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/SensorHost.h"
#include "support/TempDir.h"

namespace drq::gui::test {
namespace {

struct Request {
  int order;
  int argument;
  bool operator==(const Request&) const = default;
};

void PrintTo(const Request& r, std::ostream* os) {
  *os << r.order << "/" << r.argument;
}

// One operation: how the operator starts it, the order whose answer is
// delayed (the window is closed while it is awaited), and what may go out
// after the close.
struct CloseCase {
  const char* name;
  int delayedOrder;
  std::vector<Request> afterClose;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.name;
}

class WindowWithSensor : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    writeSettings(settingsFileText("127.0.0.1", sensor.port()));
    start();
    ASSERT_TRUE(session.link.state().linkUp);
    popups.clearRecords();
    sensor.model().clearRequestLog();
  }

  void delayAnswerTo(int order) {
    std::string error;
    const auto rule =
        sim::parseFaultRule("order=" + std::to_string(order) + ",times=1,kind=delay:300", &error);
    ASSERT_TRUE(rule) << error;
    sensor.host().setFaultRules({*rule});
  }

  // Starts `name` as the operator does, scripting the questions it asks.
  void startOperation(const std::string& name) {
    const auto click = [this](const char* button) { find<QPushButton>(button)->click(); };
    if (name == "connect") {
      click("ButtonTryToConnect");
    } else if (name == "get") {
      click("ButtonGet");
    } else if (name == "send") {
      click("ButtonSend");
    } else if (name == "go") {
      click("ButtonGo");
    } else if (name == "record") {
      auto& page = *dynamic_cast<RecorderPage*>(window->page(kPageRecorder));
      page.modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Open));
      popups.answerConfirm(true);
      click("ButtonStartRecord");
    } else if (name == "triggered_record") {
      popups.answerConfirm(true);
      click("ButtonStartTrigRec");
    } else if (name == "white_calibration") {
      popups.answerConfirm(true);
      popups.answerConfirm(true);
      click("ButtonCalcCF");
    } else if (name == "self_calibration") {
      popups.answerConfirm(true);
      click("ButtonStartSelfCalibration");
    } else if (name == "get_cf") {
      click("ButtonGetCF");
    } else if (name == "send_cf") {
      click("ButtonSendCF");
    } else if (name == "offset_calculation") {
      popups.answerConfirm(true);
      click("ButtonCalcOffset");
    } else if (name == "get_offset") {
      click("ButtonGetOffset");
    } else if (name == "send_offset") {
      click("ButtonSendOffset");
    } else if (name == "hardware_file") {
      click("ButtonGenHwInfoFile");
    } else if (name == "cycle_time") {
      click("ButtonGetCycleTime");
    } else if (name == "scope_capture") {
      sensor.model().setIn0(false);  // the trigger never comes
      chooseItem(find<ValueRing>("EditTriggerMode"), 4);
      click("ButtonScan");
    } else if (name == "mean_value_teach") {
      click("ButtonTeachMeanVal");
    } else if (name == "graph_teach") {
      click("ButtonTeachRecVal");
      click("ButtonTP2Start");
    } else {
      ADD_FAILURE() << "no such operation: " << name;
    }
  }

  static void chooseItem(ValueRing* ring, int index) {
    ring->setCurrentIndex(index);
    emit ring->activated(index);
  }

  sim::EmbeddedSensor sensor;
};

class CloseDuringOperation : public WindowWithSensor,
                             public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDuringOperation, TheAnswerIsAwaitedOnlyItsStopGoesOutAndTheProgramEnds) {
  const CloseCase& c = GetParam();
  delayAnswerTo(c.delayedOrder);
  int ended = 0;
  bool busyAtEnd = true;
  QObject::connect(window.get(), &MainWindow::programEndRequested, [&] {
    ++ended;
    busyAtEnd = window->operations().busy();
  });
  std::size_t requestsAtClose = 0;
  std::size_t popupsAtClose = 0;
  bool closed = false;
  bool shownWhileEnding = false;
  bool enabledWhileEnding = true;
  QObject::connect(&sensor.host(), &sim::SensorHost::requestLogged, window.get(),
                   [&](const sim::RequestRecord& record) {
                     if (closed || record.order != c.delayedOrder) return;
                     closed = true;
                     QTimer::singleShot(0, window.get(), [&] {
                       requestsAtClose = sensor.model().requestLog().size();
                       popupsAtClose = popups.records().size();
                       window->close();
                       shownWhileEnding = window->isVisible();
                       enabledWhileEnding = window->isEnabled();
                     });
                   });
  const std::size_t settingsBefore = drq::test::readFileBytes(settingsPath()).size();
  window->show();

  startOperation(c.name);

  ASSERT_TRUE(closed) << "the operation never asked with order " << c.delayedOrder;
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(busyAtEnd);
  // The window stays, deaf to input, until the operation has returned.
  EXPECT_TRUE(shownWhileEnding);
  EXPECT_FALSE(enabledWhileEnding);
  EXPECT_FALSE(window->isVisible());
  // The answer that was awaited counted as an answer.
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_EQ(popups.records().size(), popupsAtClose);
  std::vector<Request> after;
  const auto& log = sensor.model().requestLog();
  for (std::size_t i = requestsAtClose; i < log.size(); ++i) {
    after.push_back({log[i].order, log[i].argument});
  }
  EXPECT_EQ(after, c.afterClose);
  const std::string settings = drq::test::readFileBytes(settingsPath());
  EXPECT_NE(settings.find("MAINPANEL WIDTH"), std::string::npos);
  EXPECT_NE(settings.size(), settingsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, CloseDuringOperation,
    ::testing::Values(CloseCase{"connect", ORDER_IDENTIFY, {}},
                      CloseCase{"get", ORDER_READ_PARA, {}},
                      CloseCase{"send", ORDER_WRITE_PARA, {}}, CloseCase{"go", ORDER_GET_DATA, {}},
                      CloseCase{"record", ORDER_GET_DATA, {}},
                      CloseCase{"triggered_record", ORDER_AUTO_SEND, {{ORDER_AUTO_SEND, 0}}},
                      CloseCase{"white_calibration", ORDER_GET_DATA, {}},
                      CloseCase{"self_calibration", ORDER_SELF_CALIBRATION, {}},
                      CloseCase{"get_cf", ORDER_GET_CALIB, {}},
                      CloseCase{"send_cf", ORDER_SEND_CALIB, {}},
                      CloseCase{"offset_calculation", ORDER_CALC_OFFSET, {}},
                      CloseCase{"get_offset", ORDER_GET_CALIB, {}},
                      CloseCase{"send_offset", ORDER_SEND_CALIB, {}},
                      CloseCase{"hardware_file", ORDER_GET_HW_INFO, {}},
                      CloseCase{"cycle_time", ORDER_GET_CYCLE_TIME, {}},
                      CloseCase{"scope_capture", ORDER_SCOPE, {{ORDER_SCOPE, 0}}},
                      CloseCase{"mean_value_teach", ORDER_GET_DATA, {}},
                      CloseCase{"graph_teach", ORDER_GET_DATA, {}}),
    [](const ::testing::TestParamInfo<CloseCase>& param) { return std::string(param.param.name); });

// --- Re-entry ----------------------------------------------------------------------

class SecondStart : public WindowWithSensor {};

TEST_F(SecondStart, NoRouteStartsASecondOperationWhileOneRuns) {
  // GO runs; every other start, by click, key or accessible action, is
  // refused, and the live loop's own requests are all that go out.
  int attempts = 0;
  std::vector<Request> during;
  QObject::connect(&sensor.host(), &sim::SensorHost::requestLogged, window.get(),
                   [&](const sim::RequestRecord& record) {
                     during.push_back({record.order, record.argument});
                     if (during.size() != 2) return;
                     QTimer::singleShot(0, window.get(), [&] {
                       for (const char* name :
                            {"ButtonGo", "ButtonCalcCF", "ButtonGetCF", "ButtonScan",
                             "ButtonGetCycleTime", "ButtonStartRecord", "ButtonTryToConnect"}) {
                         // A dimmed button's click() and the owner alike.
                         auto* button = find<QPushButton>(name);
                         QMetaObject::invokeMethod(button, "clicked", Q_ARG(bool, false));
                         ++attempts;
                       }
                       QTest::keyClick(window.get(), Qt::Key_F11);
                       find<QPushButton>("ButtonStop")->click();
                     });
                   });
  find<QPushButton>("ButtonGo")->click();
  EXPECT_EQ(attempts, 7);
  for (const Request& r : during) EXPECT_EQ(r.order, ORDER_GET_DATA);
  // Nothing was asked (a refused calibration asks nothing either).
  EXPECT_TRUE(popups.records().empty());
  EXPECT_EQ(popups.unscripted(), 0);
  EXPECT_TRUE(window->operations().canStart());
}

}  // namespace
}  // namespace drq::gui::test
