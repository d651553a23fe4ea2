#pragma once
// What the operator can do about a link that did not open. The failure's own
// text and the system's reason come first (LinkSetup); the help below follows
// them on lines of its own, and never replaces them.
//
// Classification is separate from the system calls behind it (file access,
// the device's group) so that each case can be tested with injected facts:
// the tests run as root, who may open any device.

#include <QAbstractSocket>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <string>

namespace drq {

enum class LinkTrouble {
  Unknown,         // nothing useful to add
  PortPermission,  // the operator may not open the device
  PortBusy,        // another program holds the device
  PortMissing,     // no such device
  TcpRefused,      // the host answered, nothing listens on the port
  TcpUnreachable,  // no route to the host or its network
  TcpTimedOut,     // no answer within the connect time
  TcpUnknownHost,  // the name does not resolve
};

// Who may use a serial device, from the file system.
struct DeviceAccess {
  bool exists = false;
  bool readWrite = false;  // the current user may open it for reading and writing
  QString group;           // the group owning the device ("dialout"), may be empty
};

// stat() and access() on `device` (after following links). Outside Unix
// nothing is known: exists and readWrite are true, group is empty.
DeviceAccess probeDeviceAccess(const QString& device);

// The login name of the current user ("operator"), or empty.
QString currentUserName();

// A serial open that failed with Qt's `error`, given the device's access.
// Qt files a denied device and a device locked or held exclusively by
// another program both as PermissionError (or OpenError); the file system
// tells them apart.
LinkTrouble classifySerialOpen(QSerialPort::SerialPortError error, const DeviceAccess& access);

// A TCP connect that failed with `error` (SocketTimeoutError: the connect
// time ran out).
LinkTrouble classifyTcpConnect(QAbstractSocket::SocketError error);

struct HelpSubject {
  QString device;       // serial: the device that was opened
  DeviceAccess access;  // serial: its access facts
  QString user;         // serial: the login name for the command, empty: "$USER"
  QString host;         // TCP: address or name
  std::uint16_t port = 0;
  int timeoutMs = 0;  // TCP: the connect time that ran out
};

// The help lines for `trouble` (no trailing line break), or empty for
// LinkTrouble::Unknown.
std::string connectionHelp(LinkTrouble trouble, const HelpSubject& subject);

}  // namespace drq
