// The recorder page's STOP while a pushed frame is arriving, on a TCP and a
// serial line (a pseudo-terminal) to a scripted sensor.

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "core/protocol/Frame.h"
#include "core/record/RecordFile.h"
#include "gui/operations/Operations.h"
#include "gui/pages/RecorderPage.h"
#include "link/LinkSetup.h"
#include "link/Peers.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

namespace drq::gui {
namespace {

using test::Bytes;

class CountingHost final : public RecorderHost {
 public:
  void InitPanelGraph() override {}
  void SetPanelGraphData() override {
    if (onFrame) onFrame(++frames);
  }
  void showRecordedFrame() override {}

  int frames = 0;
  std::function<void(int)> onFrame;
};

class FixedSwitch final : public ChildPanelSwitch {
 public:
  void ShowChildPanelDisp(ChildPanel) override {}
  ChildPanel currentChildPanel() const override { return ChildPanel::DATAP; }
};

Bytes liveFrame(std::int16_t value, std::uint16_t argument) {
  LiveFrame f;
  f.words.fill(value);
  return buildFrame(ORDER_GET_DATA, argument, encodeLiveFrame(f));
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Parameter: true for the serial line.
class RecorderStopTest : public ::testing::TestWithParam<bool> {
 protected:
  RecorderStopTest() : context{session, popups, operations, panels}, page(context, &host) {
    page.registerOperationButtons(operations.dimmer());
    session.recordFile = dir.file("RecordFile.dat");
    session.link.setFailureReport(&report);
  }
  ~RecorderStopTest() override {
    closeLink(session.link);
    session.link.setFailureReport(nullptr);
    EXPECT_TRUE(popups.errors().isEmpty()) << popups.errors().join('\n').toStdString();
  }

  void connect() {
    LinkState& state = session.link.state();
    if (GetParam()) {
      auto pty = std::make_unique<test::PtyPeer>();
      ASSERT_TRUE(pty->ok());
      state.protocol = kProtocolRs232;
      state.comDevice = pty->slavePath();
      peer = std::move(pty);
      ASSERT_EQ(InitRS232(session.link), 0);
    } else {
      auto tcp = std::make_unique<test::TcpPeer>();
      state.protocol = kProtocolTcp;
      state.serverAddress = "127.0.0.1";
      state.serverPort = tcp->port();
      peer = std::move(tcp);
      ASSERT_EQ(InitTCP_IP(session.link), 0);
    }
    state.linkUp = true;
  }

  drq::test::TempDir dir;
  Session session;
  ScriptedPopups popups;
  Operations operations{session.RunFlag, session.link};
  FixedSwitch panels;
  ShellContext context;
  CountingHost host;
  RecorderPage page;
  test::RecordingReport report;
  std::unique_ptr<test::ScriptedPeer> peer;
};

INSTANTIATE_TEST_SUITE_P(TcpAndSerial, RecorderStopTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Serial" : "Tcp"; });

// The start's answer, the first frame and half the second arrive together;
// STOP is clicked once the first is shown, with the second half-received.
// The second is finished and recorded, the stream is stopped, and a frame
// pushed before the stop order's answer is dropped: no failure anywhere.
TEST_P(RecorderStopTest, StopWhileAPushedFrameArrivesRecordsItAndStopsTheStream) {
  connect();
  page.modeSelector()->setValue(static_cast<std::uint16_t>(RecordMode::Triggered));
  page.CBF_EditSelectDataRec();
  const Bytes second = liveFrame(2, 2);
  const auto half = second.begin() + 27;
  peer->onRequest = [&](const Bytes& request) {
    if (request[1] != ORDER_AUTO_SEND) return;
    const Bytes answer = buildFrame(ORDER_AUTO_SEND, 0, {});
    if (request[2] == 1) {
      peer->send(concat(concat(answer, liveFrame(1, 1)), Bytes(second.begin(), half)));
    } else {
      peer->send(concat(liveFrame(3, 3), answer));
    }
  };
  host.onFrame = [&](int frames) {
    if (frames != 1) return;
    ASSERT_GT(session.link.transport()->bytesAvailable(), 0u);
    QTest::mouseClick(page.stopRecordButton(), Qt::LeftButton);
    EXPECT_FALSE(session.RunFlag.isSet());
    peer->later(20, [&] { peer->send(Bytes(half, second.end())); });
  };
  popups.answerConfirm(true);
  page.CBF_ButtonStartTrigRec();

  EXPECT_EQ(host.frames, 2);
  EXPECT_EQ(page.findChild<ValueDisplay*>("DispRecordedFrames")->value(), 2);
  // The lines after their date and time ("mm-dd-yyyy\thh:mm:ss\t").
  const std::string file = drq::test::readFileBytes(session.recordFile);
  std::vector<std::string> lines;
  for (std::size_t at = 0, end = 0; (end = file.find("\r\n", at)) != std::string::npos;
       at = end + 2)
    lines.push_back(file.substr(at + 20, end - at - 20));
  EXPECT_EQ(lines, (std::vector<std::string>{"1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1",
                                             "2\t2\t2\t2\t2\t2\t2\t2\t2\t2\t2"}));
  EXPECT_TRUE(report.messages.empty());
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_EQ(popups.texts().last(), QString::fromLatin1(recorder_text::kFileSaved));
  ASSERT_EQ(peer->requests.size(), 2u);
  EXPECT_EQ(peer->requests[1], buildFrame(ORDER_AUTO_SEND, 0, {}));
}

}  // namespace
}  // namespace drq::gui
