#include "gui/Application.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <system_error>

#include "core/Session.h"
#include "core/Version.h"
#include "core/live/LiveState.h"
#include "gui/LiveMonitor.h"
#include "gui/MainWindow.h"
#include "gui/QtPopups.h"
#include "gui/ScriptedPopups.h"
#include "gui/TransferBar.h"
#include "gui/charts/ReplotScheduler.h"
#include "gui/pages/TabPage.h"
#include "gui/panels/BigDisplayPanel.h"
#include "gui/panels/DataPanel.h"
#include "gui/panels/PasswordPanel.h"
#include "sim/EmbeddedSensor.h"
#include "sim/Optics.h"
#include "sim/SensorHost.h"

namespace drq::gui {

namespace {

std::filesystem::path toPath(const QString& text) {
  return std::filesystem::path(text.toStdU16String());
}

QString fromPath(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

bool isWritableDir(const std::filesystem::path& dir) {
  const QFileInfo info(fromPath(dir));
  return info.isDir() && info.isWritable();
}

// True when a display can be reached (or a platform was chosen explicitly).
bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
         !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

bool save(QWidget& widget, const QDir& dir, const QString& name, QStringList& written) {
  const QString file = dir.filePath(name);
  if (!widget.grab().save(file, "PNG")) return false;
  written.append(file);
  return true;
}

void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QString slug(const QString& text) {
  QString out;
  for (const QChar c : text.toLower()) {
    if (c.isLetterOrNumber()) {
      out.append(c);
    } else if (!out.endsWith(QLatin1Char('-'))) {
      out.append(QLatin1Char('-'));
    }
  }
  while (out.endsWith(QLatin1Char('-'))) out.chop(1);
  return out;
}

// --- Live pictures of the display panel -------------------------------------------

// Size of the window for the pictures of the display panel's graph pages.
constexpr int kLiveShotWidth = 1180;
constexpr int kLiveShotHeight = 740;
// Frames of live data behind each picture, and the sensor's time per frame:
// the strip charts then span about four seconds of the demo target's path.
constexpr int kLiveShotFrames = 340;
constexpr std::uint64_t kLiveShotStepMicros = 40000;
constexpr std::uint16_t kDemoColourTolerance = 90;
constexpr std::uint16_t kDemoIntensityTolerance = 220;

// Teaches the colours of the demo target's path into parameter set 0 of the
// sensor's RAM (one row each, where the sensor sees them, in calculation
// mode `calculationMode`) and gives the rows the targets' colours.
void teachDemoColours(sim::SensorModel& model, std::uint16_t calculationMode,
                      RowColorArray& rowColors) {
  ParaSet set = model.ramSet(0);
  set.record[ParaWord::CalculationMode] = calculationMode;
  set.record[ParaWord::MaxVecNo] = 16;
  model.setRamSet(0, set);
  const sim::TargetPath path = sim::defaultTargetPath();
  const bool threeD = calculationMode >= 2;
  for (std::size_t row = 0; row < path.colors.size() && row < kTeachRows; ++row) {
    model.setTargetColor(path.colors[row]);
    const LiveFrame f = model.currentFrame();
    TeachVector& v = set.table[row];
    v.cell(0) = static_cast<std::uint16_t>(f[FrameWord::X]);
    v.cell(1) = static_cast<std::uint16_t>(f[FrameWord::Y]);
    if (threeD) {
      v.cell(2) = static_cast<std::uint16_t>(f[FrameWord::Int]);
      v.cell(3) = kDemoColourTolerance;
      v.cell(4) = 0;
    } else {
      v.cell(2) = kDemoColourTolerance;
      v.cell(3) = static_cast<std::uint16_t>(f[FrameWord::Int]);
      v.cell(4) = kDemoIntensityTolerance;
    }
    // The row in the target's own colour (reflectance per mille to 0..255).
    const sim::TargetColor& c = path.colors[row];
    rowColors[row] = (std::uint32_t{c.red} * 255 / 1000) << 16 |
                     (std::uint32_t{c.green} * 255 / 1000) << 8 |
                     (std::uint32_t{c.blue} * 255 / 1000);
  }
  model.setRamSet(0, set);
  model.setTargetPath(path);
}

// GO for a number of frames, the sensor's clock moving on with each frame.
void runLiveFrames(MainWindow& window, sim::EmbeddedSensor& sensor, int frames) {
  LiveMonitor& live = window.liveMonitor();
  int shown = 0;
  const QMetaObject::Connection step = QObject::connect(&live, &LiveMonitor::frameShown, [&] {
    sensor.host().advance(kLiveShotStepMicros);
    if (++shown >= frames) live.CBF_ButtonStop();
  });
  live.CBF_ButtonGo();
  QObject::disconnect(step);
}

bool saveDataPage(MainWindow& window, int page, const QDir& dir, QStringList& written) {
  QTabWidget* pages = window.dataPanel().pages();
  pages->setCurrentIndex(page);
  settle();
  window.dataPanel().replotScheduler().flush();
  settle();
  const QString name = QStringLiteral("datap-%1-%2.png").arg(page).arg(slug(pages->tabText(page)));
  return save(window.dataPanel(), dir, name, written);
}

// The four graph pages of the display panel with live data from the demo
// sensor: the first three in calculation mode X Y INT 2D, the 3D page in
// X Y INT 3D.
bool renderLivePages(MainWindow& window, sim::EmbeddedSensor& sensor, const QDir& dir,
                     QStringList& written) {
  Session& session = window.session();
  const QSize size = window.size();
  window.resize(kLiveShotWidth, kLiveShotHeight);
  sensor.host().setClockMode(sim::SensorHost::ClockMode::Manual);
  bool ok = true;
  for (const std::uint16_t mode : {std::uint16_t{0}, std::uint16_t{2}}) {
    teachDemoColours(sensor.model(), mode, session.RowColors);
    window.applyRowColors();
    session.target = TransferTarget::Ram;
    window.transferBar().CBF_ButtonGet();
    window.dataPanel().pages()->setCurrentIndex(mode == 0 ? kDataPage2dGraph : kDataPage3dGraph);
    runLiveFrames(window, sensor, kLiveShotFrames);
    if (mode == 0) {
      for (int page : {kDataPageRgbChart, kDataPageIntensityChart, kDataPage2dGraph}) {
        ok = ok && saveDataPage(window, page, dir, written);
      }
    } else {
      ok = ok && saveDataPage(window, kDataPage3dGraph, dir, written);
    }
  }
  sensor.host().setClockMode(sim::SensorHost::ClockMode::WallClock);
  window.resize(size);
  return ok;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::optional<std::filesystem::path>& target) {
      if (i + 1 >= argc || std::strlen(argv[i + 1]) == 0) {
        out.error = arg + " needs a directory";
        return;
      }
      target = std::filesystem::path(argv[++i]);
    };
    if (arg == "--dir") {
      value(out.dir);
    } else if (arg == "--screenshots") {
      value(out.screenshots);
    } else if (arg == "--demo") {
      out.demo = true;
    } else if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg == "--version") {
      out.version = true;
    } else {
      out.error = "unknown argument: " + arg;
    }
    if (!out.error.empty()) break;
  }
  return out;
}

std::filesystem::path chooseProgramDir(const std::optional<std::filesystem::path>& requested,
                                       const std::filesystem::path& executableDir) {
  std::filesystem::path dir = executableDir;
  if (requested) {
    std::error_code ec;
    std::filesystem::create_directories(*requested, ec);
    dir = std::filesystem::absolute(*requested, ec);
    if (ec) dir = *requested;
  }
  if (isWritableDir(dir)) return dir;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (config.isEmpty()) return dir;
  QDir().mkpath(config);
  return toPath(config);
}

QStringList renderScreenshots(MainWindow& window, const QDir& dir, sim::EmbeddedSensor* demo) {
  QStringList written;
  if (!QDir().mkpath(dir.absolutePath())) return {};
  window.show();
  settle();
  if (!save(window, dir, QStringLiteral("main.png"), written)) return {};

  // The offset page is shown only for its own picture, as operators see it
  // only after unlocking it.
  const bool offsetVisible = window.isPageVisible(kPageOffset);
  for (int page = 0; page < kMainPageCount; ++page) {
    window.setPageVisible(kPageOffset, offsetVisible || page == kPageOffset);
    window.setActivePage(page);
    settle();
    const QString name =
        QStringLiteral("page-%1-%2.png").arg(page).arg(slug(window.page(page)->tabLabel()));
    if (!save(window, dir, name, written)) return {};
  }
  window.setPageVisible(kPageOffset, offsetVisible);
  window.setActivePage(kPageConnection);

  const struct {
    ChildPanel panel;
    const char* name;
  } panels[] = {{ChildPanel::DATAP, "datap"},
                {ChildPanel::GRAPHP, "graphp"},
                {ChildPanel::TEACHP1, "teachp1"},
                {ChildPanel::TEACHP2, "teachp2"},
                {ChildPanel::SCOPEP, "scopep"}};
  for (const auto& entry : panels) {
    window.ShowChildPanelDisp(entry.panel);
    settle();
    if (!save(window, dir, QStringLiteral("panel-%1.png").arg(QLatin1String(entry.name)),
              written)) {
      return {};
    }
  }
  window.ShowChildPanelDisp(ChildPanel::DATAP);
  QTabWidget* dataPages = window.dataPanel().pages();
  for (int page = 0; page < dataPages->count(); ++page) {
    dataPages->setCurrentIndex(page);
    settle();
    const QString name =
        QStringLiteral("panel-datap-%1-%2.png").arg(page).arg(slug(dataPages->tabText(page)));
    if (!save(window.dataPanel(), dir, name, written)) return {};
  }

  const struct {
    QWidget* widget;
    const char* name;
  } topLevels[] = {{&window.bigColorPanel(), "colbigp.png"},
                   {&window.bigGroupPanel(), "grpbigp.png"},
                   {&window.passwordPanel(), "passwordp.png"}};
  for (const auto& entry : topLevels) {
    entry.widget->setAttribute(Qt::WA_DontShowOnScreen, true);
    entry.widget->show();
    settle();
    const bool ok = save(*entry.widget, dir, QLatin1String(entry.name), written);
    entry.widget->hide();
    if (!ok) return {};
  }

  if (demo && window.session().link.state().linkUp) {
    if (!renderLivePages(window, *demo, dir, written)) return {};
  }
  return written;
}

int WinMain(int argc, char** argv) {
  const CommandLine command = parseCommandLine(argc, argv);
  if (!command.error.empty()) {
    std::fprintf(stderr, "drqscope: %s\n%s", command.error.c_str(), kUsage);
    return 2;
  }
  if (command.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command.version) {
    std::printf("drqscope %.*s\n", static_cast<int>(kVersion.size()), kVersion.data());
    return 0;
  }
  if (command.screenshots && !displayAvailable()) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!displayAvailable()) {
    std::fputs("drqscope: no display to show the user interface on\n", stderr);
    return -1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("drqscope"));
  QApplication::setApplicationVersion(
      QString::fromLatin1(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
  // The desktop entry's name lets the desktop match the window to its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("drqscope"));
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/drqscope-%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(style);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPointSize(9);
  QApplication::setFont(font);

  const std::filesystem::path executableDir = toPath(QCoreApplication::applicationDirPath());
  StartOptions options;
  // Installed, the logo lives in the shared data directory beside bin/.
  options.logoDirs = {executableDir, executableDir.parent_path() / "share" / "drqscope"};

  Session session;
  std::unique_ptr<sim::EmbeddedSensor> demoSensor;
  if (command.demo) {
    demoSensor = std::make_unique<sim::EmbeddedSensor>();
    if (!demoSensor->start()) {
      std::fputs("drqscope: the virtual sensor could not start\n", stderr);
      return -1;
    }
    options.demo =
        StartOptions::Demo{QStringLiteral("127.0.0.1"), static_cast<int>(demoSensor->port())};
  }

  if (command.screenshots) {
    // Screenshots show a fresh window: default settings, nothing stored.
    QTemporaryDir scratch;
    options.programDir = toPath(scratch.path());
    options.connectAtStart = command.demo;
    ScriptedPopups popups;
    MainWindow window(session, popups, options);
    window.setAttribute(Qt::WA_DontShowOnScreen, true);
    window.InitAll();
    const QStringList written =
        renderScreenshots(window, QDir(fromPath(*command.screenshots)), demoSensor.get());
    window.CleanUp();
    if (written.isEmpty()) {
      std::fputs("drqscope: the screenshots could not be written\n", stderr);
      return 1;
    }
    return 0;
  }

  options.programDir = chooseProgramDir(command.dir, executableDir);
  QtPopups popups;
  MainWindow window(session, popups, options);
  popups.setParent(&window);
  QObject::connect(&window, &MainWindow::programEndRequested, &app, &QCoreApplication::quit);
  window.InitAll();
  // The operator's CLOSE choice during the first connection ends the program
  // before the event loop runs, through the normal clean-up.
  if (!window.quitRequested()) app.exec();
  window.CleanUp();
  return 0;
}

}  // namespace drq::gui
