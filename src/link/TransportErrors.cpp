#include "link/TransportErrors.h"

#include "core/protocol/LinkSettings.h"
#include "core/protocol/Transport.h"

namespace drq {

namespace {

struct QtErrorMapping {
  TransportKind kind;
  int qtError;
  int result;
};

// The one table from Qt's reasons to the result codes that operators see.
constexpr QtErrorMapping kQtErrors[] = {
    // Serial port.
    {TransportKind::Serial, QSerialPort::DeviceNotFoundError, kSerialNoPortFound},
    {TransportKind::Serial, QSerialPort::PermissionError, kSerialCannotOpen},  // denied or busy
    {TransportKind::Serial, QSerialPort::OpenError, kSerialCannotOpen},        // already open
    {TransportKind::Serial, QSerialPort::UnsupportedOperationError, kSerialInvalidBaudrate},
    {TransportKind::Serial, QSerialPort::TimeoutError, kSerialTimeout},
    {TransportKind::Serial, QSerialPort::NotOpenError, kSerialPortNotOpen},
    {TransportKind::Serial, QSerialPort::ReadError, kSerialIoError},
    {TransportKind::Serial, QSerialPort::WriteError, kSerialIoError},
    {TransportKind::Serial, QSerialPort::ResourceError, kSerialIoError},
    {TransportKind::Serial, QSerialPort::UnknownError, kSerialSystemError},
    // TCP connection.
    {TransportKind::Tcp, QAbstractSocket::ConnectionRefusedError, kTcpUnableToEstablishConnection},
    {TransportKind::Tcp, QAbstractSocket::HostNotFoundError, kTcpFailedToConnect},
    {TransportKind::Tcp, QAbstractSocket::NetworkError, kTcpFailedToConnect},  // unreachable
    {TransportKind::Tcp, QAbstractSocket::SocketAddressNotAvailableError, kTcpFailedToConnect},
    {TransportKind::Tcp, QAbstractSocket::SocketTimeoutError, kTcpTimeOut},
    {TransportKind::Tcp, QAbstractSocket::RemoteHostClosedError, kTcpConnectionClosed},
    {TransportKind::Tcp, QAbstractSocket::SocketResourceError, kTcpTooManyConversations},
    {TransportKind::Tcp, QAbstractSocket::UnsupportedSocketOperationError, kTcpInvalidParameter},
    {TransportKind::Tcp, QAbstractSocket::TemporaryError, kTcpNetworkSubsystemNotReady},
};

int lookup(TransportKind kind, int qtError) {
  for (const auto& m : kQtErrors)
    if (m.kind == kind && m.qtError == qtError) return m.result;
  return kUnlistedTransportError;
}

}  // namespace

int serialResultFor(QSerialPort::SerialPortError error) {
  return error == QSerialPort::NoError ? 0 : lookup(TransportKind::Serial, error);
}

int tcpResultFor(QAbstractSocket::SocketError error) {
  return lookup(TransportKind::Tcp, error);
}

}  // namespace drq
