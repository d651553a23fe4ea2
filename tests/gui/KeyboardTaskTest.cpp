// A whole task at the keyboard alone, against the virtual sensor: connect,
// GET, POWER typed and sent, GO and STOP, a teach row taught and sent, five
// frames recorded, a white calibration and a scope scan. Every step is a key
// as the platform delivers it (to the active window, through its shortcuts,
// to the focused control): Alt+1…9 for the pages, the buttons' mnemonics,
// F9 to F12, Tab, typing and Return. The checks are the orders the sensor
// received. Popups answer from their script: their keys are the popups' own.
#include <QAbstractButton>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/params/ParaSet.h"
#include "core/protocol/Frame.h"
#include "core/record/RecordFile.h"
#include "gui/ShellFixture.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/TeachTablePage.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/Mnemonics.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui::test {
namespace {

// More than every control of the window that takes the focus.
constexpr int kMaxTabs = 200;
constexpr int kClickTimeoutMs = 20000;

// The frame the sensor measures throughout: a white target with a colour
// cast that the white calibration corrects.
LiveFrame measuredFrame() {
  LiveFrame f;
  f[FrameWord::Red] = 1210;
  f[FrameWord::Green] = 1320;
  f[FrameWord::Blue] = 1430;
  f[FrameWord::X] = 812;
  f[FrameWord::Y] = 907;
  f[FrameWord::Int] = 1999;
  f[FrameWord::DeltaC] = -1;
  f[FrameWord::Color] = kNoColor;
  f[FrameWord::Group] = kNoColor;
  f[FrameWord::Temp] = 31;
  f[FrameWord::RawRed] = 1400;
  f[FrameWord::RawGreen] = 1500;
  f[FrameWord::RawBlue] = 1600;
  return f;
}

using Requests = std::vector<sim::RequestRecord>;

std::vector<std::uint8_t> ordersOf(const Requests& requests) {
  std::vector<std::uint8_t> out;
  for (const auto& r : requests) out.push_back(r.order);
  return out;
}

int count(const Requests& requests, std::uint8_t order) {
  return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                        [order](const auto& r) { return r.order == order; }));
}

class KeyboardTask : public ShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sensor.start());
    sensor.model().setScriptedFrames({measuredFrame()});
    sensor.model().setNoise(0);
    // The stored port is wrong: the operator types the right one.
    writeSettings(settingsFileText("127.0.0.1", 1));
    StartOptions options;
    options.connectAtStart = false;
    start(options);
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // One key, as the platform hands it to the active window.
  void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->windowHandle(), k, modifiers);
  }
  void type(const QString& text) {
    for (QChar c : text) QTest::keyClick(window->windowHandle(), c.toLatin1());
  }

  // Alt+1…9.
  void openPage(int page) {
    key(static_cast<Qt::Key>(Qt::Key_1 + page), Qt::AltModifier);
    ASSERT_EQ(window->activePage(), page);
  }

  // Tab until `target` (or the edit field inside it) has the focus.
  bool tabTo(QWidget* target) {
    for (int i = 0; i < kMaxTabs; ++i) {
      const QWidget* focus = QApplication::focusWidget();
      if (focus && (focus == target || target->isAncestorOf(focus))) return true;
      key(Qt::Key_Tab);
    }
    ADD_FAILURE() << "Tab never reaches " << target->objectName().toStdString();
    return false;
  }

  // Tab to the field and replace its text, without Return: the key that
  // acts next (a button's letter or F-key) takes the typed value first.
  void typeInto(const char* field, const QString& text) {
    ASSERT_TRUE(tabTo(find<QWidget>(field)));
    key(Qt::Key_A, Qt::ControlModifier);
    type(text);
  }

  // Runs `keys` and waits until the button's click has been handled (a
  // mnemonic or function key presses the button; the click follows).
  void clickedBy(const char* name, const std::function<void()>& keys) {
    auto* button = find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    keys();
    if (clicked.isEmpty()) {
      ASSERT_TRUE(clicked.wait(kClickTimeoutMs)) << name;
    }
  }

  // The button's mnemonic, Alt and its underlined letter.
  void press(const char* name) {
    auto* button = find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr);
    const QChar letter = mnemonicLetter(*button);
    ASSERT_FALSE(letter.isNull()) << name << " has no mnemonic";
    clickedBy(name, [&] {
      key(static_cast<Qt::Key>(Qt::Key_A + (letter.unicode() - u'A')), Qt::AltModifier);
    });
  }

  void pressFunctionKey(Qt::Key k, const char* name) {
    clickedBy(name, [&] { key(k); });
  }

  // F12 once the live loop has shown `frames` frames.
  QMetaObject::Connection stopAfterFrames(int frames) {
    auto shown = std::make_shared<int>(0);
    return QObject::connect(&part<LiveMonitor>(*window), &LiveMonitor::frameShown, window.get(),
                            [this, shown, frames] {
                              if (++*shown == frames) key(Qt::Key_F12);
                            });
  }

  // The requests since the last call.
  Requests takeRequests() {
    const auto& log = sensor.model().requestLog();
    Requests requests(log.begin(), log.end());
    sensor.model().clearRequestLog();
    return requests;
  }

  sim::EmbeddedSensor sensor;
};

TEST_F(KeyboardTask, AWholeTaskByKeysOnlyReachesTheSensor) {
  const LiveFrame frame = measuredFrame();
  const std::vector<std::uint8_t> threeReads(3, ORDER_READ_PARA);
  const std::vector<std::uint8_t> threeWrites(3, ORDER_WRITE_PARA);

  // Connect: the port typed on the connection page, then TRY TO CONNECT.
  openPage(kPageConnection);
  typeInto("StringPortNumber", QString::number(sensor.port()));
  press("ButtonTryToConnect");
  ASSERT_TRUE(session.link.state().linkUp);
  Requests requests = takeRequests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front().order, ORDER_IDENTIFY);

  // RAM as the target (offline work had chosen FILE): the transfer bar's
  // toggles are reached with Tab and chosen with Space. Then GET.
  ASSERT_TRUE(tabTo(find<QWidget>("SelectMemRam")));
  clickedBy("SelectMemRam", [&] { key(Qt::Key_Space); });
  ASSERT_EQ(session.target, TransferTarget::Ram);
  pressFunctionKey(Qt::Key_F10, "ButtonGet");
  EXPECT_EQ(ordersOf(takeRequests()), threeReads);

  // POWER typed on the parameter page, then SEND.
  openPage(kPageParameter);
  typeInto("EditPower", QStringLiteral("345"));
  pressFunctionKey(Qt::Key_F9, "ButtonSend");
  EXPECT_EQ(ordersOf(takeRequests()), threeWrites);
  EXPECT_EQ(sensor.model().ramSet(0).record[ParaWord::Power], 345);

  // GO, and STOP while it runs.
  {
    const auto stop = stopAfterFrames(3);
    pressFunctionKey(Qt::Key_F11, "ButtonGo");
    QObject::disconnect(stop);
  }
  EXPECT_FALSE(session.RunFlag.isSet());
  requests = takeRequests();
  EXPECT_GE(count(requests, ORDER_GET_DATA), 3);
  EXPECT_EQ(count(requests, ORDER_GET_DATA), static_cast<int>(requests.size()));

  // The measured colour taught into row 5, then sent.
  openPage(kPageTeachTable);
  typeInto("EditNo", QStringLiteral("5"));
  press("ButtonTeachDataTo");
  pressFunctionKey(Qt::Key_F9, "ButtonSend");
  EXPECT_EQ(ordersOf(takeRequests()), threeWrites);
  const TeachTable& table = sensor.model().ramSet(0).table;
  EXPECT_EQ(table[5].cell(0), frame[FrameWord::X]);
  EXPECT_EQ(table[5].cell(1), frame[FrameWord::Y]);
  EXPECT_EQ(table[6].cell(0), kDefaultCell);

  // Five frames recorded into a chosen file.
  openPage(kPageRecorder);
  const auto recordFile = dir.file("keys.dat");
  popups.answerFile(2, QString::fromStdString(recordFile.string()));
  press("ButtonSelRecFile");
  typeInto("EditRecVal", QStringLiteral("5"));
  popups.answerConfirm(true);
  press("ButtonStartRecord");
  requests = takeRequests();
  EXPECT_EQ(ordersOf(requests), std::vector<std::uint8_t>(5, ORDER_GET_DATA));
  const std::string header = recordHeader(session.sensorId);
  const std::string recorded = drq::test::readFileBytes(recordFile);
  ASSERT_EQ(recorded.compare(0, header.size(), header), 0);
  const std::string lines = recorded.substr(header.size());
  const std::string words = "\t1210\t1320\t1430\t812\t907\t1999\t-1\t255\t255\t0\t31\r\n";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 5);
  for (std::size_t end = lines.find('\n'); end != std::string::npos;
       end = lines.find('\n', end + 1)) {
    EXPECT_EQ(lines.compare(end + 1 - words.size(), words.size(), words), 0) << lines;
  }

  // White calibration: 100 frames, the factors sent, then GO until STOP.
  openPage(kPageCalibration);
  popups.answerConfirm(true);  // the power goes to the sensor
  popups.answerConfirm(true);  // a white target is in place
  {
    const auto stop = stopAfterFrames(2);
    press("ButtonCalcCF");
    QObject::disconnect(stop);
  }
  EXPECT_FALSE(session.RunFlag.isSet());
  requests = takeRequests();
  ASSERT_GT(requests.size(), 102u);
  EXPECT_EQ(count(requests, ORDER_GET_DATA), static_cast<int>(requests.size()) - 1);
  EXPECT_EQ(requests[100].order, ORDER_SEND_CALIB);
  EXPECT_EQ(requests[100].argument, 0);  // the factors
  // 1500 * 1024 / the mean raw value of each channel
  EXPECT_EQ(sensor.model().calibration().factors, (std::array<std::uint16_t, 3>{1097, 1024, 960}));

  // A scope scan.
  openPage(kPageScope);
  press("ButtonScan");
  requests = takeRequests();
  ASSERT_EQ(count(requests, ORDER_SCOPE), 1);
  EXPECT_EQ(requests.back().order, ORDER_SCOPE);
  EXPECT_EQ(requests.back().argument, 1);  // start
  EXPECT_EQ(session.scope.captures, 1u);
  EXPECT_EQ(window->currentChildPanel(), ChildPanel::SCOPEP);

  EXPECT_EQ(popups.unscripted(), 0);
}

}  // namespace
}  // namespace drq::gui::test
