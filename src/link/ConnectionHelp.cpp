#include "link/ConnectionHelp.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "core/protocol/LinkSettings.h"
#endif

namespace drq {

namespace {

#ifdef Q_OS_UNIX
QString groupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return {};
  return QString::fromLocal8Bit(found->gr_name);
}
#endif

}  // namespace

DeviceAccess probeDeviceAccess(const QString& device) {
  DeviceAccess access;
#ifdef Q_OS_UNIX
  const QByteArray path = QFile::encodeName(device);
  struct stat info {};
  if (path.isEmpty() || ::stat(path.constData(), &info) != 0) return access;
  access.exists = true;
  access.readWrite = ::access(path.constData(), R_OK | W_OK) == 0;
  access.group = groupName(info.st_gid);
#else
  access.exists = true;
  access.readWrite = true;
  (void)device;
#endif
  return access;
}

QString currentUserName() {
#ifdef Q_OS_UNIX
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
    return QString::fromLocal8Bit(found->pw_name);
#endif
  return qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
}

LinkTrouble classifySerialOpen(QSerialPort::SerialPortError error, const DeviceAccess& access) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return LinkTrouble::PortMissing;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
      if (!access.exists) return LinkTrouble::PortMissing;
      return access.readWrite ? LinkTrouble::PortBusy : LinkTrouble::PortPermission;
    default:
      return LinkTrouble::Unknown;
  }
}

LinkTrouble classifyTcpConnect(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return LinkTrouble::TcpRefused;
    case QAbstractSocket::NetworkError:  // no route to the host, network unreachable
    case QAbstractSocket::SocketAddressNotAvailableError:
      return LinkTrouble::TcpUnreachable;
    case QAbstractSocket::SocketTimeoutError:
      return LinkTrouble::TcpTimedOut;
    case QAbstractSocket::HostNotFoundError:
      return LinkTrouble::TcpUnknownHost;
    default:
      return LinkTrouble::Unknown;
  }
}

std::string connectionHelp(LinkTrouble trouble, const HelpSubject& s) {
  QString text;
  const QString device = s.device;
  switch (trouble) {
    case LinkTrouble::Unknown:
      return {};
    case LinkTrouble::PortPermission: {
      const QString user = s.user.isEmpty() ? QStringLiteral("$USER") : s.user;
      if (s.access.group.isEmpty() || s.access.group == u"root") {
        text = QStringLiteral(
                   "You may not open %1.\n"
                   "Ask the administrator for read and write access to it.")
                   .arg(device);
      } else {
        text = QStringLiteral(
                   "You may not open %1: it belongs to the group \"%2\".\n"
                   "Join the group with: sudo usermod -a -G %2 %3\n"
                   "then log out and in again.")
                   .arg(device, s.access.group, user);
      }
      break;
    }
    case LinkTrouble::PortBusy:
      text = QStringLiteral(
                 "Another program holds %1.\n"
                 "Close it (a terminal program, a second DRQ Scope) and connect again.")
                 .arg(device);
      break;
    case LinkTrouble::PortMissing:
      text = QStringLiteral(
                 "There is no port %1.\n"
                 "Check the cable or USB adapter, or choose a port from the list.")
                 .arg(device);
      break;
    case LinkTrouble::TcpRefused:
      text = QStringLiteral(
                 "%1 refused the connection: nothing accepts connections on port %2.\n"
                 "Check the port number (the sensor's default is %3).")
                 .arg(s.host)
                 .arg(s.port)
                 .arg(kDefaultTcpPort);
      break;
    case LinkTrouble::TcpUnreachable:
      text = QStringLiteral(
                 "%1 cannot be reached from this computer.\n"
                 "Check the address, the cable, and that this computer is on the sensor's network.")
                 .arg(s.host);
      break;
    case LinkTrouble::TcpTimedOut:
      text = QStringLiteral(
                 "%1 did not answer within %2 s.\n"
                 "Check the address, and that the sensor is switched on and on this network.")
                 .arg(s.host)
                 .arg(static_cast<double>(s.timeoutMs) / 1000.0, 0, 'g', 3);
      break;
    case LinkTrouble::TcpUnknownHost:
      text = QStringLiteral(
                 "The name %1 is not known.\n"
                 "Check its spelling, or enter the sensor's IP address.")
                 .arg(s.host);
      break;
  }
  return text.toStdString();
}

}  // namespace drq
