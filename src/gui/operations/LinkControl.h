#pragma once
// The connection page's view of the link layer: opening and closing the
// transports on the session's link and the COM port numbering (the serial
// ports of the system: link/SerialPorts.h).

#include <QString>
#include <QStringList>

#include <optional>

#include "core/protocol/SensorLink.h"

namespace drq::gui {

// Labels of the baud-rate selector, by baud-rate index 0..7.
QStringList baudRateLabels();

// The device of COM port `port` (1 = COM1): "/dev/ttyS0" on Linux, "COM1" on
// Windows.
QString deviceForComPort(int port);
// The COM port number of a device named that way, or nullopt.
std::optional<int> comPortForDevice(const QString& device);

// InitRS232: (re)opens the serial port of the link state (device, or the COM
// port's device) at its baud-rate index. Failures are reported by the link.
// Returns the last transport error (negative on failure).
int InitRS232(SensorLink& link);

// InitTCP_IP: (re)connects to the state's server address and port. Failures
// are reported by the link. Returns the last transport error.
int InitTCP_IP(SensorLink& link);

// Closes the serial port (harmless when none is open).
void CloseCom(SensorLink& link);

// Closes the TCP conversation and clears the TCP-connected flag.
void DisconnectFromTCPServer(SensorLink& link);

}  // namespace drq::gui
