#include "gui/operations/LinkControl.h"

#include <QApplication>
#include <QRegularExpression>

#include "core/protocol/LinkSettings.h"
#include "link/LinkSetup.h"

namespace drq::gui {

QStringList baudRateLabels() {
  QStringList labels;
  for (const auto rate : kBaudRates) labels.append(QString::number(rate));
  return labels;
}

QString deviceForComPort(int port) {
  return serialDeviceForComPort(port);
}

std::optional<int> comPortForDevice(const QString& device) {
  static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,4})$"),
                                      QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression ttyS(QStringLiteral("^/dev/ttyS([0-9]{1,4})$"));
  if (const auto match = com.match(device); match.hasMatch()) {
    const int port = match.captured(1).toInt();
    if (port >= 1) return port;
  }
  if (const auto match = ttyS.match(device); match.hasMatch()) {
    return match.captured(1).toInt() + 1;
  }
  return std::nullopt;
}

int InitRS232(SensorLink& link) {
  return drq::InitRS232(link);
}

int InitTCP_IP(SensorLink& link) {
  return drq::InitTCP_IP(link, [](bool busy) {
    if (busy) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  });
}

void CloseCom(SensorLink& link) {
  if (link.transport() && link.transport()->kind() == TransportKind::Serial) closeLink(link);
}

void DisconnectFromTCPServer(SensorLink& link) {
  if (link.transport() && link.transport()->kind() == TransportKind::Tcp) closeLink(link);
  link.state().tcpConnected = false;
}

}  // namespace drq::gui
