#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "app/Screenshots.h"
#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "core/Version.h"
#include "core/params/Modes.h"
#include "gui/common/TextConversion.h"
#include "gui/popups/QtPopups.h"
#include "gui/shell/MainWindow.h"
#include "sim/DemoColours.h"
#include "sim/EmbeddedSensor.h"

namespace drq::gui {

namespace {

bool isWritableDir(const std::filesystem::path& dir) {
  const QFileInfo info(qStringFromPath(dir));
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

// While the user interface starts, Qt's messages are held back, and a fatal
// one (no display could be reached, no platform plugin) ends the program with
// -1 and no message instead of Qt's abort.
void quietStartMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type == QtFatalMsg) std::_Exit(-1);
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

std::filesystem::path userConfigDir(std::string_view xdgConfigHome,
                                    const std::filesystem::path& home) {
  const std::filesystem::path xdg(xdgConfigHome);
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (xdg.is_absolute()) return xdg / "drqscope";
  return home / ".config" / "drqscope";
}

bool isBuildTreeDir(const std::filesystem::path& executableDir) {
  std::error_code ec;
  return !executableDir.empty() &&
         std::filesystem::is_regular_file(executableDir.parent_path() / "CMakeCache.txt", ec);
}

std::filesystem::path chooseProgramDir(const std::optional<std::filesystem::path>& requested,
                                       const std::filesystem::path& executableDir,
                                       const std::filesystem::path& configDir) {
  std::error_code ec;
  if (requested) {
    std::filesystem::create_directories(*requested, ec);
    std::filesystem::path dir = std::filesystem::absolute(*requested, ec);
    if (ec) dir = *requested;
    if (isWritableDir(dir)) return dir;
  } else if (isBuildTreeDir(executableDir) && isWritableDir(executableDir)) {
    return executableDir;
  }
  // Missing or unusable, the stores report it in the system's words.
  std::filesystem::create_directories(configDir, ec);
  return configDir;
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

  const QtMessageHandler previousHandler = qInstallMessageHandler(&quietStartMessages);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
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

  const std::filesystem::path executableDir =
      pathFromQString(QCoreApplication::applicationDirPath());
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
    // The demo starts with its colours taught (RAM and EEPROM, set 0), so that
    // GO shows the taught rows and the colour number changing at once. The
    // rows keep the operator's colours: those are stored at exit.
    sim::teachDemoColours(demoSensor->model(), code(CalculationMode::XyInt2d));
    demoSensor->model().setEepromSet(0, demoSensor->model().ramSet(0));
    options.demo =
        StartOptions::Demo{QStringLiteral("127.0.0.1"), static_cast<int>(demoSensor->port())};
  }

  if (command.screenshots) {
    // Screenshots show a fresh window: default settings, nothing stored.
    QTemporaryDir scratch;
    options.programDir = pathFromQString(scratch.path());
    options.connectAtStart = command.demo;
    ScriptedPopups popups;
    MainWindow window(session, popups, options);
    window.setAttribute(Qt::WA_DontShowOnScreen, true);
    window.InitAll();
    const QStringList written = renderScreenshots(
        window, QDir(qStringFromPath(*command.screenshots)), demoSensor.get(), &popups);
    window.CleanUp();
    if (written.isEmpty()) {
      std::fputs("drqscope: the screenshots could not be written\n", stderr);
      return 1;
    }
    return 0;
  }

  options.programDir = chooseProgramDir(
      command.dir, executableDir,
      userConfigDir(qgetenv("XDG_CONFIG_HOME").toStdString(), pathFromQString(QDir::homePath())));
  QtPopups popups;
  MainWindow window(session, popups, options);
  popups.setParent(&window);
  QObject::connect(&window, &MainWindow::programEndRequested, &app, &QCoreApplication::quit);
  window.InitAll();
  // The operator's CLOSE choice during the first connection, or a close of the
  // window while it was being made, ends the program before the event loop
  // runs, through the normal clean-up.
  if (!window.quitRequested()) app.exec();
  window.CleanUp();
  return 0;
}

}  // namespace drq::gui
