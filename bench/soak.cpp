// Soak: the main window (offscreen) against the virtual sensor for MINUTES,
// alternating the live loop (GO) and a triggered recording, with a fault
// injected every few hundred frames, each kind in turn. After each reported
// failure it reconnects as an operator would (DISCONNECT, TRY TO CONNECT) and
// starts again with the window's own buttons.
//
// A failure report is what the connection page's message log shows for it.
// "SERVER HAS CLOSED CONNECTION!" is one too; when the exchange that the close
// ended reports its own failure at once after it, the two are one report of
// one failure. Some faults are harmless by design and must produce no
// report at all (counted apart, as "harmless"): answers split into pieces or
// delayed less than the time-out, and during a triggered recording a pushed
// frame that never comes or comes late (the recording waits for the next
// trigger without a time limit).
//
// A watchdog ends the run when neither a frame nor a report nor a reconnect
// happened for kHangSeconds. Resident memory is taken at the end of the first
// minute (at a fifth of the run for runs shorter than two minutes) and at the
// end.
//
// Usage: soak MINUTES  (decimals allowed, e.g. 0.5)
// Last line: soak: M minutes, F faults, R reported, rss-growth-kb=K, hung=0|1
// Exit status 0 when R == F, hung=0 and K < 1024.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/ScriptedPopups.h"
#include "core/params/PanelIds.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "core/record/Recorder.h"
#include "core/util/ResidentMemory.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/pages/ConnectionPage.h"
#include "gui/pages/RecorderPage.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/WindowParts.h"
#include "gui/widgets/ValueRing.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/SensorHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// No frame, report or reconnect for this long: the tool hangs.
constexpr double kHangSeconds = 20;
// After a hang was noticed, the run gets this long to end by itself before
// the watchdog ends the process.
constexpr double kHangGraceSeconds = 10;
// Trigger period of the virtual sensor during a triggered recording.
constexpr std::uint32_t kTriggerPeriodMs = 2;
// Frames after a harmless fault before the activity is stopped.
constexpr long kFramesAfterHarmless = 50;
// Frames after a fault that must be reported before giving up on the report.
constexpr long kFramesBeforeMissed = 2000;
constexpr long kRssGoalKb = 1024;

enum class Activity { Live, Recording };

// One fault: the kind item of a rule and whether the tool must report it.
struct FaultCase {
  Activity activity;
  std::string kind;
  bool mustReport;
};

// Every kind in turn, each on the live loop's answers and on the recording's
// pushed frames. `round` varies the numbers of the kinds that take one.
std::vector<FaultCase> faultCases(long round) {
  const std::string headerBytes =
      "header-bytes:" + std::to_string(1 + round % static_cast<long>(drq::kHeaderSize - 1));
  const std::string error = "error:" + std::to_string(round % 2 == 0 ? drq::kErrorUnknownOrder
                                                                     : drq::kErrorCommunication);
  const std::string longDelay =
      "delay:" + std::to_string(static_cast<int>(drq::kExchangeTimeoutSeconds * 1000) + 500);
  const std::vector<std::pair<std::string, bool>> live = {
      {"silent", true},          {headerBytes, true}, {"bad-start", true}, {"bad-header-crc", true},
      {"bad-payload-crc", true}, {"oversize", true},  {"close", true},     {error, true},
      {longDelay, true},         {"split:5", false},  {"delay:50", false}};
  const std::vector<std::pair<std::string, bool>> recording = {
      {"silent", false},         {headerBytes, true}, {"bad-start", true}, {"bad-header-crc", true},
      {"bad-payload-crc", true}, {"oversize", true},  {"close", true},     {error, true},
      {longDelay, false},        {"split:5", false},  {"delay:50", false}};
  std::vector<FaultCase> cases;
  for (std::size_t i = 0; i < live.size(); ++i) {
    cases.push_back({Activity::Live, live[i].first, live[i].second});
    cases.push_back({Activity::Recording, recording[i].first, recording[i].second});
  }
  return cases;
}

// Bytes the allocator has handed out and not got back.
long heapKb() {
  const struct mallinfo2 info = ::mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// MINUTES: a positive decimal number.
bool parseMinutes(std::string_view text, double& minutes) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), minutes);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(minutes) &&
         minutes > 0 && minutes <= 100000;
}

class Soak {
 public:
  // `minutesText`: MINUTES as given, for the last line.
  Soak(double minutes, std::string minutesText)
      : minutes_(minutes), seconds_(minutes * 60), minutesText_(std::move(minutesText)) {}

  ~Soak() {
    {
      const std::lock_guard lock(watchMutex_);
      watchEnd_ = true;
    }
    watchWake_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
  }

  bool start() {
    if (!sensor_.start()) {
      std::fprintf(stderr, "virtual sensor: %s\n", qPrintable(sensor_.errorString()));
      return false;
    }
    sensor_.model().setAutoSendPeriodMs(kTriggerPeriodMs);
    drq::gui::StartOptions options;
    options.programDir = dir_.path().toStdString();
    options.demo = drq::gui::StartOptions::Demo{sensor_.address(), sensor_.port()};
    window_ = std::make_unique<drq::gui::MainWindow>(session_, popups_, options);
    window_->InitAll();
    if (!session_.link.state().linkUp) {
      std::fprintf(stderr, "the window did not connect to the virtual sensor\n");
      return false;
    }
    window_->show();
    popups_.clearRecords();
    popups_.onPopup = [this](const drq::gui::PopupRecord& record) { notePopup(record); };

    auto* log = drq::gui::part<drq::gui::ConnectionPage>(*window_).findChild<QPlainTextEdit*>(
        QStringLiteral("MessageBox"));
    log_ = log;
    if (log == nullptr) {
      std::fprintf(stderr, "the connection page has no message log\n");
      return false;
    }
    QObject::connect(log->document(), &QTextDocument::contentsChange, log,
                     [this, log](int, int, int added) {
                       if (added > 0) noteLogText(log->document()->toPlainText());
                     });
    recorder_ = dynamic_cast<drq::gui::RecorderPage*>(window_->page(drq::kPageRecorder));
    if (recorder_ == nullptr) {
      std::fprintf(stderr, "the window has no recorder page\n");
      return false;
    }
    QObject::connect(&drq::gui::part<drq::gui::LiveMonitor>(*window_),
                     &drq::gui::LiveMonitor::frameShown, [this] { onFrame(); });
    QObject::connect(recorder_, &drq::gui::RecorderPage::recordedFrameShown, [this] { onFrame(); });
    for (const char* name : {"ButtonGo", "ButtonStop", "ButtonDisconnect", "ButtonTryToConnect",
                             "ButtonStartTrigRec", "ButtonStopRecord", "ButtonShowGraph"}) {
      auto* button = window_->findChild<QAbstractButton*>(QLatin1String(name));
      if (button == nullptr) {
        std::fprintf(stderr, "no button %s\n", name);
        return false;
      }
      buttons_[name] = button;
    }

    clock_.start();
    rssMarkSeconds_ = minutes_ >= 2 ? 60.0 : seconds_ / 5;
    QObject::connect(&tick_, &QTimer::timeout, [this] { onTick(); });
    tick_.start(1000);
    progress();
    nextProgress_ = progressEvery();
    watchdog_ = std::thread([this] { watch(); });
    return true;
  }

  // Runs the cycles until the time is up; returns the exit status.
  int run() {
    long cycle = 0;
    while (!timeUp() && !hung_ && !stuck_) {
      const long round = cycle / static_cast<long>(faultCases(0).size());
      const std::vector<FaultCase> cases = faultCases(round);
      runCycle(cases[static_cast<std::size_t>(cycle) % cases.size()], cycle);
      ++cycle;
    }
    tick_.stop();
    if (rssMark_ < 0) rssMark_ = drq::residentMemoryKb();  // a run that ended early
    const long growth = drq::residentMemoryKb() - rssMark_.load();
    window_->CleanUp();
    progress();
    for (const auto& [what, count] : mismatches_)
      std::printf("  mismatch: %s (%d times)\n", what.c_str(), count);
    const bool pass = reported_ == faults_ && !hung_ && !stuck_ && growth < kRssGoalKb;
    std::printf("soak: %s minutes, %ld faults, %ld reported, rss-growth-kb=%ld, hung=%d\n",
                minutesText_.c_str(), faults_.load(), reported_.load(), growth, hung_ ? 1 : 0);
    std::fflush(stdout);
    return pass ? 0 : 1;
  }

 private:
  double elapsed() const { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }
  bool timeUp() const { return elapsed() >= seconds_; }
  // A progress line every tenth of the run, 5 to 60 s apart.
  double progressEvery() const { return std::clamp(seconds_ / 10, 5.0, 60.0); }

  void alive() { lastProgress_ = Clock::now().time_since_epoch().count(); }

  void click(const char* name) {
    QAbstractButton* button = buttons_.at(name);
    if (!button->isEnabled()) {
      ++mismatches_[std::string(name) + " dimmed when the operator needs it"];
      return;
    }
    button->click();
  }

  // One fault on one activity: arm it, start the activity with its button,
  // and once it has ended count what was shown and reconnect after a failure.
  void runCycle(const FaultCase& c, long cycle) {
    const bool live = c.activity == Activity::Live;
    if (!live) {
      window_->setActivePage(drq::kPageRecorder);
      recorder_->modeSelector()->setValue(static_cast<std::uint16_t>(drq::RecordMode::Triggered));
      click("ButtonShowGraph");
    }
    // Every few hundred frames, a different number each time.
    const long at = 200 + (cycle * 37) % 200;
    const std::string rule =
        live ? "order=" + std::to_string(drq::ORDER_GET_DATA) + ",index=" + std::to_string(at)
             : "order=" + std::to_string(drq::ORDER_AUTO_SEND) + ",push=" + std::to_string(at);
    std::string error;
    const auto parsed = drq::sim::parseFaultRule(rule + ",times=1,kind=" + c.kind, &error);
    if (!parsed) {
      std::fprintf(stderr, "bad fault rule: %s\n", error.c_str());
      std::exit(2);
    }
    sensor_.host().setFaultRules({*parsed});
    current_ = &c;
    framesAfterFault_ = -1;
    const long reportsBefore = reported_;
    alive();
    if (live) {
      click("ButtonGo");
    } else {
      if (popups_.pendingAnswers() == 0) popups_.answerConfirm(true);
      click("ButtonStartTrigRec");
    }
    current_ = nullptr;
    const bool fired = sensor_.host().faults().fired(0) > 0;
    sensor_.host().setFaultRules({});
    const long reports = reported_ - reportsBefore;
    const std::string what = std::string(live ? "live " : "recording ") + c.kind;
    if (fired && c.mustReport) {
      ++faults_;
      if (reports != 1) ++mismatches_[what + ": " + std::to_string(reports) + " reports"];
    } else if (fired) {
      ++harmless_;
      if (reports != 0)
        ++mismatches_[what + " (harmless): " + std::to_string(reports) + " reports"];
    } else if (reports != 0) {
      ++mismatches_[what + " (not injected): " + std::to_string(reports) + " reports"];
    }
    if (popups_.pendingAnswers() > 0) ++mismatches_[what + ": the recording asked nothing"];
    popups_.clearRecords();
    if (reports > 0 || !session_.link.state().linkUp) reconnect();
    // The virtual sensor keeps the last 100000 requests for the tests: its
    // memory, not the tool's.
    sensor_.model().clearRequestLog();
  }

  // As the operator does after a failure report.
  void reconnect() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      click("ButtonDisconnect");
      click("ButtonTryToConnect");
      popups_.clearRecords();
      alive();
      ++reconnects_;
      if (session_.link.state().linkUp) return;
    }
    std::printf("  the window did not reconnect\n");
    stuck_ = true;
  }

  void onFrame() {
    alive();
    if (current_ == nullptr) return;
    const bool live = current_->activity == Activity::Live;
    ++(live ? liveFrames_ : recordedFrames_);
    if (framesAfterFault_ < 0 && sensor_.host().faults().fired(0) > 0) framesAfterFault_ = 0;
    if (framesAfterFault_ >= 0) ++framesAfterFault_;
    const bool stop = hung_ || (framesAfterFault_ < 0 && timeUp()) ||
                      (!current_->mustReport && framesAfterFault_ >= kFramesAfterHarmless) ||
                      framesAfterFault_ >= kFramesBeforeMissed;
    if (stop) click(live ? "ButtonStop" : "ButtonStopRecord");
  }

  // Counts the log's new text when it ends in a failure report.
  void noteLogText(const QString& text) {
    static const std::array<std::string_view, 6> failures = {
        drq::kMsgHeaderIncorrect,    drq::kMsgDataIncorrect, drq::kMsgInvalidOrder,
        drq::kMsgCommunicationError, drq::kMsgTimeout,       drq::kMsgStreamLineError};
    const auto endsWith = [&text](std::string_view message) {
      return text.endsWith(
          QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size())) +
          QStringLiteral("\n\n"));
    };
    const bool afterClose = afterClose_;
    afterClose_ = false;
    if (endsWith(drq::kMsgServerClosed)) {
      ++reported_;
      ++closedNotes_;
      afterClose_ = true;
      alive();
      return;
    }
    for (const std::string_view message : failures) {
      if (endsWith(message)) {
        if (!afterClose) ++reported_;
        alive();
        return;
      }
    }
  }

  void notePopup(const drq::gui::PopupRecord& record) {
    namespace text = drq::gui::recorder_text;
    for (const char* expected : {text::kRightFileName, text::kFileNotOpened, text::kFileSaved})
      if (record.text == QLatin1String(expected)) return;
    ++mismatches_["popup \"" + record.text.toStdString() + "\""];
  }

  void onTick() {
    if (rssMark_ < 0 && elapsed() >= rssMarkSeconds_) rssMark_ = drq::residentMemoryKb();
    if (elapsed() >= nextProgress_) {
      progress();
      nextProgress_ += progressEvery();
    }
    // The watchdog thread only flags a hang; the stop happens here.
    if (hung_ && current_ != nullptr) session_.RunFlag.clear();
  }

  void progress() {
    std::printf(
        "soak: %6.1f min, %ld faults, %ld reported (%ld closed), %ld harmless, "
        "%ld reconnects, frames %ld live + %ld recorded, log %d lines, rss %ld kB, heap %ld kB\n",
        elapsed() / 60, faults_.load(), reported_.load(), closedNotes_, harmless_, reconnects_,
        liveFrames_, recordedFrames_, log_ ? log_->blockCount() : 0, drq::residentMemoryKb(),
        heapKb());
    std::fflush(stdout);
  }

  // Flags a hang after kHangSeconds without progress; ends the process with
  // the last line when the run does not end by itself kHangGraceSeconds later.
  void watch() {
    std::unique_lock lock(watchMutex_);
    while (!watchEnd_) {
      watchWake_.wait_for(lock, std::chrono::milliseconds(250));
      const auto since = Clock::now() - Clock::time_point(Clock::duration(lastProgress_.load()));
      const double quiet = std::chrono::duration<double>(since).count();
      if (quiet > kHangSeconds && !hung_) {
        hung_ = true;
        // Wakes the UI thread's waits, whatever they wait for.
        QMetaObject::invokeMethod(
            &tick_, [this] { onTick(); }, Qt::QueuedConnection);
      }
      if (quiet > kHangSeconds + kHangGraceSeconds) {
        const long mark = rssMark_;
        std::printf("soak: %s minutes, %ld faults, %ld reported, rss-growth-kb=%ld, hung=1\n",
                    minutesText_.c_str(), faults_.load(), reported_.load(),
                    mark < 0 ? 0 : drq::residentMemoryKb() - mark);
        std::fflush(stdout);
        std::_Exit(1);
      }
    }
  }

  double minutes_;
  double seconds_;
  std::string minutesText_;
  QTemporaryDir dir_;
  drq::sim::EmbeddedSensor sensor_;  // outlives the window's link
  drq::Session session_;
  drq::gui::ScriptedPopups popups_;
  std::unique_ptr<drq::gui::MainWindow> window_;
  drq::gui::RecorderPage* recorder_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  std::map<std::string, QAbstractButton*> buttons_;
  QElapsedTimer clock_;
  QTimer tick_;

  const FaultCase* current_ = nullptr;
  long framesAfterFault_ = -1;
  std::atomic<long> faults_{0};
  std::atomic<long> reported_{0};
  long closedNotes_ = 0;     // reports of a closed connection
  bool afterClose_ = false;  // the log's last text was such a report
  long harmless_ = 0;
  long reconnects_ = 0;
  long liveFrames_ = 0;
  long recordedFrames_ = 0;
  std::map<std::string, int> mismatches_;
  bool stuck_ = false;

  double rssMarkSeconds_ = 60;
  std::atomic<long> rssMark_{-1};
  double nextProgress_ = 0;

  std::atomic<bool> hung_{false};
  std::atomic<Clock::rep> lastProgress_{Clock::now().time_since_epoch().count()};
  std::mutex watchMutex_;
  std::condition_variable watchWake_;
  bool watchEnd_ = false;
  std::thread watchdog_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  double minutes = 0;
  if (argc != 2 || !parseMinutes(argv[1], minutes)) {
    std::fprintf(stderr, "usage: soak MINUTES   (a positive number, decimals allowed)\n");
    return 2;
  }
  QApplication app(argc, argv);
  Soak soak(minutes, argv[1]);
  if (!soak.start()) return 1;
  return soak.run();
}
