// drqsim: the virtual sensor on a TCP port and/or a pseudo-terminal.
//
// Prints one line "READY tcp ADDRESS PORT" or "READY pty PATH" per server once
// it listens, and stops cleanly on SIGINT and SIGTERM (read from a signalfd, so
// no handler runs inside the event loop). Exit status: 0 after a signal, 1 when
// a server or the EEPROM file cannot be set up, 2 for a bad command line.

#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>

#include <sys/signalfd.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/Version.h"
#include "sim/PtySensorServer.h"
#include "sim/SensorHost.h"
#include "sim/SensorModel.h"
#include "sim/SimOptions.h"
#include "sim/TcpSensorServer.h"
#include "sim/Text.h"

namespace {

int usageError(const std::string& message) {
  std::fprintf(stderr, "drqsim: %s\n%s", message.c_str(), drq::sim::simUsage().c_str());
  return 2;
}

int setupError(const QString& message) {
  std::fprintf(stderr, "drqsim: %s\n", message.toLocal8Bit().constData());
  return 1;
}

void announce(const QByteArray& line) {
  std::fputs(line.constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace drq::sim;

  // Block the stop signals before any thread exists, so every thread inherits
  // the mask and the signals wait in the signalfd.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = parseSimOptions(args, &error);
  if (!options) return usageError(error);
  if (options->help) {
    std::fputs(simUsage().c_str(), stdout);
    return 0;
  }
  if (options->version) {
    std::printf("drqsim %.*s\n", static_cast<int>(drq::kVersion.size()), drq::kVersion.data());
    return 0;
  }

  QHostAddress tcpAddress;
  if (options->tcp) {
    const QString host = QString::fromStdString(options->tcpHost);
    if (host == QLatin1String("localhost"))
      tcpAddress = QHostAddress(QHostAddress::LocalHost);
    else if (!tcpAddress.setAddress(host))
      return usageError(joinText("--tcp: '", options->tcpHost, "' is not an IP address"));
  }

  QCoreApplication app(argc, argv);

  const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
  if (signalFd < 0) return setupError(QStringLiteral("cannot watch for stop signals"));
  QSocketNotifier signalNotifier(signalFd, QSocketNotifier::Read);
  QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [signalFd] {
    signalfd_siginfo info{};
    while (::read(signalFd, &info, sizeof info) == sizeof info) {
    }
    QCoreApplication::quit();
  });

  SensorModel model(options->seed);
  if (options->identification) model.setIdentification(*options->identification);
  if (options->serial) model.setSerialNumber(*options->serial);
  model.setEepromErrorHandler([](const std::string& why) {
    std::fprintf(stderr, "drqsim: EEPROM not saved: %s\n", why.c_str());
  });
  if (!options->eepromFile.empty() && !model.attachEepromFile(options->eepromFile, &error))
    return setupError(QString::fromStdString(error));

  SensorHost host(model);
  host.setPacing(options->pace);
  host.setFaultRules(options->faults);

  std::unique_ptr<TcpSensorServer> tcp;
  std::unique_ptr<PtySensorServer> pty;
  if (options->tcp) {
    tcp = std::make_unique<TcpSensorServer>(host);
    if (!tcp->listen(tcpAddress, options->tcpPort))
      return setupError(QStringLiteral("cannot listen on %1:%2: %3")
                            .arg(tcpAddress.toString())
                            .arg(options->tcpPort)
                            .arg(tcp->errorString()));
    announce(QStringLiteral("READY tcp %1 %2")
                 .arg(tcp->address().toString())
                 .arg(tcp->port())
                 .toLocal8Bit());
  }
  if (options->pty) {
    pty = std::make_unique<PtySensorServer>(host);
    if (!pty->open(QString::fromStdString(options->linkPath)))
      return setupError(pty->errorString());
    const auto shownPath = [&pty] {
      return (pty->linkPath().isEmpty() ? pty->slavePath() : pty->linkPath()).toLocal8Bit();
    };
    announce("READY pty " + shownPath());
    // After a hang-up a new device takes over; tell clients without a link where it is.
    QObject::connect(pty.get(), &PtySensorServer::reopened, &app, [&] {
      if (pty->linkPath().isEmpty()) announce("READY pty " + shownPath());
    });
  }

  const int status = app.exec();
  pty.reset();
  tcp.reset();
  ::close(signalFd);
  return status;
}
