#pragma once
// The serial ports of this machine as an operator recognises them: the
// device, the adapter's description and USB identity, and the stable name the
// system gives a USB adapter below /dev/serial/by-id (the same name whichever
// ttyUSBn it gets after a reboot or a re-plug).

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace drq {

// Where the system keeps the stable names of USB serial adapters.
inline constexpr char kSerialByIdDir[] = "/dev/serial/by-id";

// What the system tells about one port (QSerialPortInfo's fields), kept apart
// so that the naming below can be tested with ports that do not exist.
struct SerialPortFacts {
  QString systemLocation;  // /dev/ttyUSB0, COM3
  QString manufacturer;    // may be empty
  QString description;     // may be empty
  QString serialNumber;    // may be empty
  std::optional<std::uint16_t> vendorId;
  std::optional<std::uint16_t> productId;
};

struct SerialPortEntry {
  // The name to open and to remember: the stable by-id path where there is
  // one, else the system's device (/dev/ttyUSB0, COM3). serialDeviceName()
  // accepts either.
  QString device;
  QString systemDevice;  // the kernel's device, /dev/ttyUSB0 or COM3
  QString description;   // manufacturer and description, may be empty
  QString usbId;         // "0403:6001" (vendor:product, hex), empty when not USB
  QString serialNumber;  // may be empty

  // One line for a list or tooltip: "ttyUSB0 - FTDI FT232R USB UART,
  // USB 0403:6001, serial A1B2C3" (only the parts that are known).
  QString summary() const;
};

// Names the ports in `ports`: each gets the by-id link of `byIdDir` that
// resolves to its device (the alphabetically first when several do). Sorted
// by system device with numbers in numeric order (ttyUSB2 before ttyUSB10).
// A missing or unreadable `byIdDir` leaves the system devices as the names.
std::vector<SerialPortEntry> describeSerialPorts(const std::vector<SerialPortFacts>& ports,
                                                 const QString& byIdDir);

// The ports present on this machine (QSerialPortInfo), named as above.
// Pseudo-terminals are not listed; their paths can be typed.
std::vector<SerialPortEntry> availableSerialPorts(
    const QString& byIdDir = QString::fromLatin1(kSerialByIdDir));

// The entry of `ports` whose device or system device is `typed` (a by-id
// link typed by hand is resolved too), or nullptr.
const SerialPortEntry* findSerialPort(const std::vector<SerialPortEntry>& ports,
                                      const QString& typed);

}  // namespace drq
