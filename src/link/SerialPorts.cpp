#include "link/SerialPorts.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <map>

namespace drq {

namespace {

QString hex4(std::uint16_t value) {
  return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// Canonical target -> by-id path, for every link in `byIdDir`.
std::map<QString, QString> stableNames(const QString& byIdDir) {
  std::map<QString, QString> names;
  if (byIdDir.isEmpty()) return names;
  const QDir dir(byIdDir);
  const QFileInfoList links =
      dir.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  for (const QFileInfo& link : links) {
    const QString target = link.canonicalFilePath();
    if (target.isEmpty()) continue;                      // dangling link
    names.try_emplace(target, link.absoluteFilePath());  // sorted: the first name wins
  }
  return names;
}

// Names compared with runs of digits as numbers: ttyUSB2 before ttyUSB10.
bool naturalLess(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < a.size() && a[ei].isDigit()) ++ei;
      while (ej < b.size() && b[ej].isDigit()) ++ej;
      const QStringView na = QStringView(a).mid(i, ei - i);
      const QStringView nb = QStringView(b).mid(j, ej - j);
      // Longer (without leading zeros) is larger; equal lengths compare as text.
      QStringView ta = na, tb = nb;
      while (ta.size() > 1 && ta.front() == u'0') ta = ta.mid(1);
      while (tb.size() > 1 && tb.front() == u'0') tb = tb.mid(1);
      if (ta.size() != tb.size()) return ta.size() < tb.size();
      if (const int c = ta.compare(tb); c != 0) return c < 0;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

QString canonical(const QString& path) {
  const QString resolved = QFileInfo(path).canonicalFilePath();
  return resolved.isEmpty() ? path : resolved;
}

}  // namespace

QString SerialPortEntry::summary() const {
  QStringList parts;
  if (!description.isEmpty()) parts.append(description);
  if (!usbId.isEmpty()) parts.append(QStringLiteral("USB ") + usbId);
  if (!serialNumber.isEmpty()) parts.append(QStringLiteral("serial ") + serialNumber);
  const QString name = QFileInfo(systemDevice).fileName();
  return parts.isEmpty() ? name : name + QStringLiteral(" - ") + parts.join(QStringLiteral(", "));
}

std::vector<SerialPortEntry> describeSerialPorts(const std::vector<SerialPortFacts>& ports,
                                                 const QString& byIdDir) {
  const auto names = stableNames(byIdDir);
  std::vector<SerialPortEntry> entries;
  entries.reserve(ports.size());
  for (const SerialPortFacts& port : ports) {
    if (port.systemLocation.isEmpty()) continue;
    SerialPortEntry entry;
    entry.systemDevice = port.systemLocation;
    entry.device = port.systemLocation;
    if (const auto it = names.find(canonical(port.systemLocation)); it != names.end())
      entry.device = it->second;
    entry.description = port.manufacturer;
    // Drivers often repeat the maker in the description ("FTDI" + "FTDI ...").
    if (!port.description.isEmpty() && !port.description.startsWith(port.manufacturer)) {
      if (!entry.description.isEmpty()) entry.description += QLatin1Char(' ');
      entry.description += port.description;
    } else if (!port.description.isEmpty()) {
      entry.description = port.description;
    }
    if (port.vendorId && port.productId)
      entry.usbId = hex4(*port.vendorId) + QLatin1Char(':') + hex4(*port.productId);
    entry.serialNumber = port.serialNumber;
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
    return naturalLess(a.systemDevice, b.systemDevice);
  });
  return entries;
}

std::vector<SerialPortEntry> availableSerialPorts(const QString& byIdDir) {
  std::vector<SerialPortFacts> facts;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    SerialPortFacts port;
#ifdef Q_OS_WIN
    port.systemLocation = info.portName();
#else
    port.systemLocation = info.systemLocation();
#endif
    port.manufacturer = info.manufacturer().trimmed();
    port.description = info.description().trimmed();
    port.serialNumber = info.serialNumber().trimmed();
    if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
    facts.push_back(std::move(port));
  }
#ifdef Q_OS_WIN
  return describeSerialPorts(facts, QString());
#else
  return describeSerialPorts(facts, byIdDir);
#endif
}

const SerialPortEntry* findSerialPort(const std::vector<SerialPortEntry>& ports,
                                      const QString& typed) {
  const QString name = typed.trimmed();
  if (name.isEmpty()) return nullptr;
  const QString resolved = canonical(name);
  for (const SerialPortEntry& entry : ports) {
    if (entry.device == name || entry.systemDevice == name || entry.systemDevice == resolved)
      return &entry;
    if (name.startsWith(u"COM", Qt::CaseInsensitive) &&
        entry.systemDevice.compare(name, Qt::CaseInsensitive) == 0)
      return &entry;
  }
  return nullptr;
}

}  // namespace drq
