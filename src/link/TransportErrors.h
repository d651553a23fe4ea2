#pragma once
// Qt's error codes mapped onto the link's result codes of a failed opening
// (core/protocol/LinkSettings.h): the serial codes -99 .. -1 and the TCP codes
// -20 .. -1. Codes without a counterpart give kUnlistedTransportError, whose
// text is the catch-all one.

#include <QAbstractSocket>
#include <QSerialPort>

namespace drq {

int serialResultFor(QSerialPort::SerialPortError error);
int tcpResultFor(QAbstractSocket::SocketError error);

}  // namespace drq
