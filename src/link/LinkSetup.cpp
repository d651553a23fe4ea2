#include "link/LinkSetup.h"

#include <charconv>
#include <memory>
#include <string>
#include <string_view>

#include "link/ConnectionHelp.h"
#include "link/SerialTransport.h"
#include "link/TcpTransport.h"

namespace drq {

namespace {

// The operator's text of a failed opening, unchanged, then on a line of its
// own the system's reason when there is one ("Permission denied").
std::string withReason(std::string_view text, const QString& reason) {
  std::string out(text);
  const std::string why = reason.trimmed().toStdString();
  if (!why.empty()) out += '\n' + why;
  return out;
}

// ... and after both, what the operator can do about it.
std::string withHelp(std::string message, const std::string& help) {
  if (!help.empty()) message += '\n' + help;
  return message;
}

}  // namespace

int InitRS232(SensorLink& link) {
  link.runFlag().clear();
  link.setTransport(nullptr);
  LinkState& state = link.state();
  const QString device = serialDeviceName(state);
  int result = kSerialInvalidPort;
  auto port = std::make_unique<SerialTransport>();
  if (!device.isEmpty()) result = port->open(device, baudRateForIndex(state.baudIndex));
  state.lastTransportError = result;
  if (result < 0) {
    std::string help;
    QString reason = port->lastErrorString();
    if (!device.isEmpty()) {
      HelpSubject subject;
      subject.device = device;
      subject.access = probeDeviceAccess(device);
      subject.user = currentUserName();
      const LinkTrouble trouble = classifySerialOpen(port->lastError(), subject.access);
      help = connectionHelp(trouble, subject);
      // A port another program holds fails on its lock, which the system words
      // as a permission error: the busy help is the whole reason.
      if (trouble == LinkTrouble::PortBusy) reason.clear();
    }
    link.reportFailure(withHelp(withReason(serialErrorText(result), reason), help));
    return result;
  }
  port->setPortTimeout(kPortTimeoutSeconds);
  link.setTransport(std::move(port));
  return result;
}

int InitTCP_IP(SensorLink& link, const std::function<void(bool)>& waitCursor,
               const ObservableFlag* stopWhenCleared) {
  LinkState& state = link.state();
  closeLink(link);
  if (waitCursor) waitCursor(true);
  auto tcp = std::make_unique<TcpTransport>();
  const bool portValid = state.serverPort > 0 && state.serverPort <= 65535;
  const int result = portValid ? tcp->connectTo(QString::fromStdString(state.serverAddress),
                                                static_cast<std::uint16_t>(state.serverPort),
                                                kConnectTimeoutMs, stopWhenCleared)
                               : kTcpInvalidParameter;
  if (waitCursor) waitCursor(false);
  state.lastTransportError = result;
  if (result >= 0) {
    link.setTransport(std::move(tcp));
    state.tcpConnected = true;
    return result;
  }
  state.tcpConnected = false;
  if (result == kTcpConnectStopped) return result;
  HelpSubject subject;
  subject.host = QString::fromStdString(state.serverAddress);
  subject.port = static_cast<std::uint16_t>(portValid ? state.serverPort : 0);
  subject.timeoutMs = kConnectTimeoutMs;
  const std::string help = connectionHelp(classifyTcpConnect(tcp->lastError()), subject);
  link.reportFailure(withHelp(withReason(tcpErrorText(result), tcp->lastErrorString()), help));
  return result;
}

void closeLink(SensorLink& link) {
  link.setTransport(nullptr);
  link.state().tcpConnected = false;
}

QString serialDeviceForComPort(int comPort) {
  if (comPort <= 0) return {};
#ifdef Q_OS_WIN
  return QStringLiteral("COM%1").arg(comPort);
#else
  return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
#endif
}

QString serialDeviceName(const LinkState& state) {
  if (state.comDevice.empty()) return serialDeviceForComPort(state.comPort);
#ifndef Q_OS_WIN
  const std::string_view name = state.comDevice;
  if (name.size() > 3 && (name.substr(0, 3) == "COM" || name.substr(0, 3) == "com")) {
    int n = 0;
    const auto [end, ec] = std::from_chars(name.data() + 3, name.data() + name.size(), n);
    if (ec == std::errc() && end == name.data() + name.size()) return serialDeviceForComPort(n);
  }
#endif
  return QString::fromStdString(state.comDevice);
}

}  // namespace drq
