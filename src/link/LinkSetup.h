#pragma once
// Opening the link from the settings of the connection page (link.state()):
// the serial port or the TCP conversation, with failures reported through the
// link's one failure report, followed by what the operator can do about it
// (link/ConnectionHelp.h). Also the naming of serial ports (discovery:
// link/SerialPorts.h).

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/protocol/LinkSettings.h"
#include "core/protocol/SensorLink.h"
#include "link/SerialPorts.h"

namespace drq {

// (Re)opens the serial port: clears RunFlag, closes the current transport,
// opens serialDeviceName(state) at baudRateForIndex(state.baudIndex), 8N1, no
// handshake, port read time-out 2.0 s, both queues flushed. Keeps the result
// in state.lastTransportError and returns it: 0, or a negative serial result
// code, which has been reported with its text ("Cannot open port", ...)
// followed, on a line of its own, by the system's reason when it gave one,
// then by the help of link/ConnectionHelp.h (permission, busy, missing). A
// port another program holds is reported with the busy help only: the
// system words that as a permission error on the port's lock.
int InitRS232(SensorLink& link);

// (Re)connects to state.serverAddress : state.serverPort, closing the current
// transport first, waiting at most 5000 ms. `waitCursor` (if given) is called
// with true before and false after the attempt. Keeps the result in
// state.lastTransportError and returns it: 0 (tcpConnected set), or a
// negative TCP result code, which has been reported with its text
// ("UnableToEstablishConnection", ...) and the system's reason on a line of
// its own ("Connection refused"), then the help for a refused, unreachable
// or timed-out connection, and leaves tcpConnected clear.
// Afterwards a closing server is reported with "SERVER HAS CLOSED CONNECTION!".
// Clearing `stopWhenCleared` (if given) abandons the attempt at once; it then
// returns kTcpConnectStopped and reports nothing.
int InitTCP_IP(SensorLink& link, const std::function<void(bool)>& waitCursor = {},
               const ObservableFlag* stopWhenCleared = nullptr);

// Closes the transport (serial port or TCP conversation) and clears
// tcpConnected. Nothing is reported.
void closeLink(SensorLink& link);

// Device of the serial settings: state.comDevice when set, else the COM port
// number: COMn on Windows, /dev/ttyS(n-1) elsewhere. A device typed as "COMn"
// is also mapped to /dev/ttyS(n-1) outside Windows. Empty when the port
// number is 0 and no device is given.
QString serialDeviceName(const LinkState& state);
QString serialDeviceForComPort(int comPort);

}  // namespace drq
