// Live benchmark: frames per second of the live loop against the virtual
// sensor, in one run:
//   1. the core loop (GetData, no display) and `drqctl watch` over loopback TCP;
//   2. the same through a paced pseudo-terminal at 921600 baud, against the
//      wire limit (8 + 48 bytes per exchange, 10 bits a byte: 1646 frames/s);
//   3. the GUI live loop (offscreen, every display updating) and the CPU the
//      GUI uses while the sensor is silent;
//   4. the CPU the core loop uses while the sensor is silent.
//
// Goals: GUI loop at least 0.95 x the watch loop; paced pty at least 0.95 x
// the wire limit; under 1 % of a core while waiting.
//
// Usage: live_bench [SECONDS per run, default 3] [--tcp-only]
// --tcp-only runs part 1 alone (for profiling the GUI loop, e.g. under
// callgrind with --toggle-collect=drq::GetData*).
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ScriptedPopups.h"
#include "cli/Cli.h"
#include "core/Session.h"
#include "core/live/GetData.h"
#include "core/protocol/Frame.h"
#include "core/util/CpuTime.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/operations/LiveMonitor.h"
#include "gui/panels/DataPanel.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/WindowParts.h"
#include "link/LinkSetup.h"
#include "sim/EmbeddedSensor.h"
#include "sim/FaultRule.h"
#include "sim/PtySensorServer.h"
#include "sim/SensorHost.h"
#include "sim/SensorModel.h"

namespace {

constexpr int kBaud921600Index = 7;
constexpr double kWireBytesPerFrame = 8 + 48;
constexpr double kWireLimit = 921600.0 / (10 * kWireBytesPerFrame);  // 1645.7 frames/s

class QuietReport final : public drq::FailureReport {
 public:
  void linkFailed(std::string_view message) override { last = std::string(message); }
  std::string last;
};

// A pseudo-terminal whose far side is a SensorModel on its own thread that
// sends each answer exactly when the request and the answer would have passed
// a 921600-baud line (10 bits a byte, timed from the request's arrival with a
// microsecond clock, without timer slack). An independent reference for the
// virtual sensor's own pacing: what the loop, and a plain blocking client,
// reach against an exact wire on this machine.
class ExactPacedPty {
 public:
  ExactPacedPty() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    slavePath_ = name;
    thread_ = std::thread([this] { serve(); });
  }
  ~ExactPacedPty() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  bool ok() const { return master_ >= 0; }
  const std::string& slavePath() const { return slavePath_; }

 private:
  using Clock = std::chrono::steady_clock;

  // Reads exactly `size` bytes; false when stopping.
  bool readFully(std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      pollfd p{master_, POLLIN, 0};
      if (stop_) return false;
      if (::poll(&p, 1, 100) <= 0 || !(p.revents & POLLIN)) continue;
      const ssize_t n = ::read(master_, data, size);
      if (n <= 0) continue;  // no client on the line at the moment
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }

  void serve() {
    // The default slack lets the kernel wake a sleeper up to 50 us late.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    drq::sim::SensorModel model;
    const auto start = Clock::now();
    std::uint64_t modelMicros = 0;
    std::vector<std::uint8_t> request(8);
    while (readFully(request.data(), 8)) {
      const std::size_t length = request[4] | (request[5] << 8);
      request.resize(8 + length);
      if (length > 0 && !readFully(request.data() + 8, length)) return;
      const auto arrived = Clock::now();
      const auto now = static_cast<std::uint64_t>(
          std::chrono::duration_cast<std::chrono::microseconds>(arrived - start).count());
      if (now > modelMicros) model.advanceMicros(now - modelMicros);
      modelMicros = std::max(modelMicros, now);
      const drq::sim::Reply reply = model.handleRequest(request);
      const double bits = 10.0 * static_cast<double>(request.size() + reply.frame.size());
      std::this_thread::sleep_until(
          arrived + std::chrono::nanoseconds(static_cast<long long>(bits / 921600.0 * 1e9)));
      if (::write(master_, reply.frame.data(), reply.frame.size()) < 0) return;
      request.resize(8);
    }
  }

  int master_ = -1;
  int slave_ = -1;  // kept open so the line stays up between two clients
  std::string slavePath_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Counts frames and ends the loop after `seconds`.
class TimedHooks final : public drq::LiveLoopHooks {
 public:
  TimedHooks(drq::Session& session, double seconds) : session_(session), seconds_(seconds) {
    timer_.start();
  }
  void sendPara() override {}
  void getPara() override {}
  void frameDecoded() override {
    ++frames;
    if (static_cast<double>(timer_.nsecsElapsed()) * 1e-9 >= seconds_) session_.RunFlag.clear();
  }
  double elapsed() const { return static_cast<double>(timer_.nsecsElapsed()) * 1e-9; }
  long frames = 0;

 private:
  drq::Session& session_;
  double seconds_;
  QElapsedTimer timer_;
};

struct LoopResult {
  double framesPerSecond = 0;
  long frames = 0;
  double cpuMicrosPerFrame = 0;  // the loop's own thread; steadier than the rate on a busy machine
  std::string failure;
};

// GetData with no display for `seconds` on an open link.
LoopResult runCoreLoop(drq::Session& session, double seconds) {
  TimedHooks hooks(session, seconds);
  drq::GetData(session, hooks);
  LoopResult r;
  r.frames = hooks.frames;
  r.framesPerSecond = static_cast<double>(hooks.frames) / hooks.elapsed();
  return r;
}

// `drqctl watch --count frames` in this process, its lines going to /dev/null.
LoopResult runWatch(std::vector<std::string> linkArgs, long frames) {
  std::ofstream sink("/dev/null");
  std::string errText;
  std::ostringstream err;
  linkArgs.insert(linkArgs.end(), {"watch", "--count", std::to_string(frames)});
  QElapsedTimer timer;
  timer.start();
  const double cpu0 = drq::threadCpuSeconds();
  const int status = drq::cli::runCli(linkArgs, sink, err);
  LoopResult r;
  r.frames = frames;
  r.cpuMicrosPerFrame = (drq::threadCpuSeconds() - cpu0) * 1e6 / static_cast<double>(frames);
  r.framesPerSecond =
      static_cast<double>(frames) / (static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  if (status != 0) r.failure = "exit " + std::to_string(status) + ": " + err.str();
  return r;
}

// The same exchanges with plain blocking reads and writes and no event loop:
// what this machine's pseudo-terminals allow at all.
LoopResult runBlockingClient(const std::string& device, double seconds) {
  LoopResult r;
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) {
    r.failure = "cannot open " + device;
    return r;
  }
  termios raw{};
  ::tcgetattr(fd, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(fd, TCSANOW, &raw);
  const auto request = drq::buildFrame(drq::ORDER_GET_DATA, 0, {});
  std::vector<std::uint8_t> answer(8 + drq::kMaxResponsePayload);
  auto readFully = [fd](std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::read(fd, data, size);
      if (n <= 0) return false;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  };
  QElapsedTimer timer;
  timer.start();
  while (static_cast<double>(timer.nsecsElapsed()) * 1e-9 < seconds) {
    if (::write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size()) ||
        !readFully(answer.data(), 8) ||
        !readFully(answer.data() + 8,
                   std::min<std::size_t>(answer[4] | (answer[5] << 8), drq::kMaxResponsePayload))) {
      r.failure = "line failed";
      break;
    }
    ++r.frames;
  }
  r.framesPerSecond =
      static_cast<double>(r.frames) / (static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  ::close(fd);
  return r;
}

bool openTcp(drq::Session& session, quint16 port) {
  auto& s = session.link.state();
  s.protocol = drq::kProtocolTcp;
  s.serverAddress = "127.0.0.1";
  s.serverPort = port;
  return drq::InitTCP_IP(session.link) == 0;
}

bool openSerial(drq::Session& session, const QString& device) {
  auto& s = session.link.state();
  s.protocol = drq::kProtocolRs232;
  s.comDevice = device.toStdString();
  s.baudIndex = kBaud921600Index;
  return drq::InitRS232(session.link) == 0;
}

// The main window, offscreen, connected to the sensor on `port` as the demo
// mode connects (TCP/IP on 127.0.0.1), with the display panel's `page` shown.
struct GuiRig {
  QTemporaryDir dir;
  drq::Session session;
  drq::gui::ScriptedPopups popups;
  std::unique_ptr<drq::gui::MainWindow> window;

  bool start(quint16 port, int page) {
    drq::gui::StartOptions options;
    options.programDir = dir.path().toStdString();
    options.demo = drq::gui::StartOptions::Demo{QStringLiteral("127.0.0.1"), port};
    window = std::make_unique<drq::gui::MainWindow>(session, popups, options);
    window->InitAll();
    if (!session.link.state().linkUp) return false;
    drq::gui::part<drq::gui::DataPanel>(*window).pages()->setCurrentIndex(page);
    QCoreApplication::processEvents();
    return true;
  }
  ~GuiRig() {
    if (window) window->CleanUp();
  }
};

struct GuiLoopResult {
  LoopResult loop;
  long fullReplots = 0;
  long layerReplots = 0;
};

// The GUI live loop: GO in the main window for `seconds`, every display of
// the display panel and the calibration, table attributes and big displays
// updating on every frame; the charts of the shown page replotted at the
// screen's pace. The sensor's RAM set 0 decides the calculation mode.
std::optional<GuiLoopResult> measureGuiLiveLoop(quint16 port, double seconds, int page) {
  GuiRig rig;
  if (!rig.start(port, page)) return std::nullopt;
  drq::gui::LiveMonitor& live = drq::gui::part<drq::gui::LiveMonitor>(*rig.window);
  drq::gui::ReplotScheduler& scheduler =
      drq::gui::part<drq::gui::DataPanel>(*rig.window).replotScheduler();
  const long full0 = scheduler.fullReplots();
  const long layer0 = scheduler.layerReplots();
  QElapsedTimer timer;
  long frames = 0;
  double cpu0 = 0;
  QObject::connect(&live, &drq::gui::LiveMonitor::frameShown, [&] {
    if (frames++ == 0) {  // from the first frame: GO's own start-up excluded
      timer.start();
      cpu0 = drq::threadCpuSeconds();
    }
    if (static_cast<double>(timer.nsecsElapsed()) * 1e-9 >= seconds) live.CBF_ButtonStop();
  });
  live.CBF_ButtonGo();
  GuiLoopResult r;
  r.loop.frames = frames - 1;
  r.loop.cpuMicrosPerFrame =
      (drq::threadCpuSeconds() - cpu0) * 1e6 / static_cast<double>(std::max(1L, frames - 1));
  r.loop.framesPerSecond =
      static_cast<double>(frames - 1) / (static_cast<double>(timer.nsecsElapsed()) * 1e-9);
  r.fullReplots = scheduler.fullReplots() - full0;
  r.layerReplots = scheduler.layerReplots() - layer0;
  if (!rig.session.link.state().linkUp) r.loop.failure = "the link failed during GO";
  return r;
}

// CPU share of one core used by the GUI while it waits in GO for a sensor on
// `port` that does not answer live-data requests (until the exchange times
// out).
std::optional<double> measureGuiSilentCpu(quint16 port) {
  GuiRig rig;
  if (!rig.start(port, drq::kDataPage2dGraph)) return std::nullopt;
  const double cpu0 = drq::processCpuSeconds();
  QElapsedTimer wall;
  wall.start();
  drq::gui::part<drq::gui::LiveMonitor>(*rig.window)
      .CBF_ButtonGo();  // ends with the time-out of the first exchange
  return (drq::processCpuSeconds() - cpu0) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
}

void printLoop(const char* what, const LoopResult& r) {
  if (!r.failure.empty()) {
    std::printf("%-44s FAILED (%s)\n", what, r.failure.c_str());
    return;
  }
  std::printf("%-44s %9.0f frames/s  (%ld frames)", what, r.framesPerSecond, r.frames);
  if (r.cpuMicrosPerFrame > 0) std::printf("  %.1f us CPU a frame", r.cpuMicrosPerFrame);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  const bool tcpOnly = argc > 2 && std::string(argv[2]) == "--tcp-only";
  if (!(seconds > 0) || argc > 3 || (argc > 2 && !tcpOnly)) {
    std::fprintf(stderr, "usage: live_bench [SECONDS] [--tcp-only]\n");
    return 2;
  }
  QuietReport report;

  // --- 1. Loopback TCP --------------------------------------------------------
  drq::sim::EmbeddedSensor sensor;
  if (!sensor.start()) {
    std::fprintf(stderr, "virtual sensor: %s\n", qPrintable(sensor.errorString()));
    return 1;
  }
  const std::vector<std::string> tcpArgs = {"--tcp", "127.0.0.1:" + std::to_string(sensor.port())};
  std::printf("live loop against the virtual sensor, %.1f s per run\n\n", seconds);

  LoopResult tcpCore;
  {
    drq::Session session;
    session.link.setFailureReport(&report);
    if (!openTcp(session, sensor.port())) {
      std::fprintf(stderr, "TCP: %s\n", report.last.c_str());
      return 1;
    }
    tcpCore = runCoreLoop(session, seconds);
    if (!report.last.empty()) tcpCore.failure = report.last;
    drq::closeLink(session.link);
  }
  printLoop("TCP, core loop (no display)", tcpCore);
  const LoopResult tcpWatch =
      runWatch(tcpArgs, std::max<long>(1, static_cast<long>(tcpCore.framesPerSecond * seconds)));
  printLoop("TCP, drqctl watch (lines to /dev/null)", tcpWatch);

  // The GUI loop on the 2D graph page (calculation mode 0) and on the 3D
  // graph page (calculation mode 2), the pages with the most moving parts.
  for (const std::uint16_t mode : {std::uint16_t{0}, std::uint16_t{2}}) {
    drq::ParaSet set = sensor.model().ramSet(0);
    set.record[drq::ParaWord::CalculationMode] = mode;
    sensor.model().setRamSet(0, set);
    const int page = mode == 0 ? drq::kDataPage2dGraph : drq::kDataPage3dGraph;
    const char* what = mode == 0 ? "TCP, GUI live loop, 2D page (offscreen)"
                                 : "TCP, GUI live loop, 3D page (offscreen)";
    const auto gui = measureGuiLiveLoop(sensor.port(), seconds, page);
    if (!gui) {
      std::printf("%-44s FAILED (no connection)\n", what);
      continue;
    }
    printLoop(what, gui->loop);
    std::printf("%-44s %9.2f  (goal >= 0.95)\n", "  GUI / watch",
                gui->loop.framesPerSecond / tcpWatch.framesPerSecond);
    // The sensor is served on this thread too, so on a busy machine the CPU a
    // frame compares the two loops better than their rates do.
    std::printf("%-44s %9.2f\n", "  watch CPU / GUI CPU a frame",
                tcpWatch.cpuMicrosPerFrame / gui->loop.cpuMicrosPerFrame);
    std::printf("%-44s %9.1f full, %.1f single-layer replots/s\n", "  replots",
                static_cast<double>(gui->fullReplots) / seconds,
                static_cast<double>(gui->layerReplots) / seconds);
  }
  {
    drq::ParaSet set = sensor.model().ramSet(0);
    set.record[drq::ParaWord::CalculationMode] = 0;
    sensor.model().setRamSet(0, set);
  }
  if (tcpOnly) return 0;

  // --- 2. Paced pseudo-terminal at 921600 baud --------------------------------
  std::printf("\n");
  sensor.model().setBaudIndex(kBaud921600Index);
  sensor.host().setPacing(true);
  drq::sim::PtySensorServer pty(sensor.host());
  if (!pty.open()) {
    std::fprintf(stderr, "pty: %s\n", qPrintable(pty.errorString()));
    return 1;
  }
  LoopResult ptyCore;
  {
    drq::Session session;
    report.last.clear();
    session.link.setFailureReport(&report);
    if (!openSerial(session, pty.slavePath())) {
      std::fprintf(stderr, "pty: %s\n", report.last.c_str());
      return 1;
    }
    ptyCore = runCoreLoop(session, seconds);
    if (!report.last.empty()) ptyCore.failure = report.last;
    drq::closeLink(session.link);
  }
  printLoop("pty 921600, core loop", ptyCore);
  {
    // The loop's own ceiling on a pty: the same run without wire pacing.
    sensor.host().setPacing(false);
    drq::Session session;
    report.last.clear();
    session.link.setFailureReport(&report);
    if (openSerial(session, pty.slavePath())) {
      LoopResult unpaced = runCoreLoop(session, seconds);
      if (!report.last.empty()) unpaced.failure = report.last;
      printLoop("pty unpaced, core loop (the loop's ceiling)", unpaced);
    }
    drq::closeLink(session.link);
    sensor.host().setPacing(true);
  }
  const LoopResult ptyWatch =
      runWatch({"--serial", pty.slavePath().toStdString(), "--baud", "921600"},
               std::max<long>(1, static_cast<long>(ptyCore.framesPerSecond * seconds)));
  printLoop("pty 921600, drqctl watch", ptyWatch);
  std::printf("%-44s %9.0f frames/s\n", "wire limit (56 bytes x 10 bits)", kWireLimit);
  std::printf("%-44s %9.3f  (goal >= 0.95)\n", "core loop / wire limit",
              ptyCore.framesPerSecond / kWireLimit);
  std::printf("%-44s %9.3f  (goal >= 0.95)\n", "watch / wire limit",
              ptyWatch.framesPerSecond / kWireLimit);
  sensor.host().setPacing(false);
  pty.close();

  ExactPacedPty exact;
  if (exact.ok()) {
    LoopResult exactCore;
    {
      drq::Session session;
      report.last.clear();
      session.link.setFailureReport(&report);
      if (openSerial(session, QString::fromStdString(exact.slavePath()))) {
        exactCore = runCoreLoop(session, seconds);
        if (!report.last.empty()) exactCore.failure = report.last;
      } else {
        exactCore.failure = report.last;
      }
      drq::closeLink(session.link);
    }
    printLoop("exact 921600 pacing, core loop", exactCore);
    const LoopResult exactWatch =
        runWatch({"--serial", exact.slavePath(), "--baud", "921600"},
                 std::max<long>(1, static_cast<long>(exactCore.framesPerSecond * seconds)));
    printLoop("exact 921600 pacing, drqctl watch", exactWatch);
    const LoopResult exactBlocking = runBlockingClient(exact.slavePath(), seconds);
    printLoop("exact 921600 pacing, blocking C client", exactBlocking);
    std::printf("%-44s %9.3f  (goal >= 0.95)\n", "core loop / wire limit",
                exactCore.framesPerSecond / kWireLimit);
    std::printf("%-44s %9.3f  (goal >= 0.95)\n", "watch / wire limit",
                exactWatch.framesPerSecond / kWireLimit);
    std::printf("%-44s %9.3f\n", "blocking C client / wire limit",
                exactBlocking.framesPerSecond / kWireLimit);
  }

  // --- 3. Waiting for a silent sensor -----------------------------------------
  std::printf("\n");
  std::string error;
  const auto silent = drq::sim::parseFaultRule("order=8,kind=silent", &error);
  sensor.host().setFaultRules({*silent});
  {
    drq::Session session;
    report.last.clear();
    session.link.setFailureReport(&report);
    if (!openTcp(session, sensor.port())) return 1;
    const double cpu0 = drq::processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    TimedHooks hooks(session, seconds);
    drq::GetData(session, hooks);  // ends with the time-out of the first exchange
    const double share =
        (drq::processCpuSeconds() - cpu0) / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
    std::printf("%-44s %8.2f %% of a core over %.1f s  (goal < 1 %%)\n",
                "core loop waiting, sensor silent", 100 * share,
                static_cast<double>(wall.nsecsElapsed()) * 1e-9);
    drq::closeLink(session.link);
  }
  if (const auto guiCpu = measureGuiSilentCpu(sensor.port())) {
    std::printf("%-44s %8.2f %% of a core  (goal < 1 %%)\n", "GUI waiting, sensor silent",
                100 * *guiCpu);
  } else {
    std::printf("%-44s FAILED (no connection)\n", "GUI waiting, sensor silent");
  }
  sensor.host().setFaultRules({});
  sensor.stop();
  return 0;
}
