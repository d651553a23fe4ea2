// Naming the machine's serial ports: stable by-id names, descriptions, order.
#include <gtest/gtest.h>

#include <filesystem>

#include "link/LinkSetup.h"
#include "link/SerialPorts.h"
#include "support/TempDir.h"

namespace drq {
namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path& p) {
  return QString::fromStdString(p.string());
}

// A fake /dev: device files and a by-id directory of links to them.
class FakeDevices : public ::testing::Test {
 protected:
  FakeDevices() {
    fs::create_directories(dir.file("by-id"));
    for (const char* name : {"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyS0", "ttyACM0"})
      test::writeFileBytes(dir.file(name), "");
  }
  void link(const std::string& name, const std::string& target) {
    fs::create_symlink("../" + target, dir.file("by-id") / name);
  }
  QString dev(const std::string& name) const { return qpath(dir.file(name)); }
  QString byId() const { return qpath(dir.file("by-id")); }

  test::TempDir dir;
};

TEST_F(FakeDevices, UsbAdaptersGetTheirStableNameAndIdentity) {
  link("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "ttyUSB2");
  link("usb-Prolific_PL2303-if00-port0", "ttyUSB10");
  link("usb-Prolific_PL2303-if00", "ttyUSB10");  // two names: the first in order wins
  link("usb-gone-if00-port0", "ttyUSB7");        // dangling: ignored
  std::vector<SerialPortFacts> facts(4);
  facts[0] = {dev("ttyUSB10"), "Prolific", "Prolific PL2303 serial", "", 0x067b, 0x2303};
  facts[1] = {dev("ttyS0"), "", "", "", std::nullopt, std::nullopt};
  facts[2] = {dev("ttyUSB2"), "FTDI", "FT232R USB UART", "A1B2C3", 0x0403, 0x6001};
  facts[3] = {dev("ttyUSB0"), "", "", "", std::nullopt, std::nullopt};

  const auto ports = describeSerialPorts(facts, byId());
  ASSERT_EQ(ports.size(), 4u);
  // Numeric order of the system devices.
  EXPECT_EQ(ports[0].systemDevice, dev("ttyS0"));
  EXPECT_EQ(ports[1].systemDevice, dev("ttyUSB0"));
  EXPECT_EQ(ports[2].systemDevice, dev("ttyUSB2"));
  EXPECT_EQ(ports[3].systemDevice, dev("ttyUSB10"));

  EXPECT_EQ(ports[0].device, dev("ttyS0"));  // no stable name: the device itself
  EXPECT_EQ(ports[0].summary(), "ttyS0");
  EXPECT_EQ(ports[2].device, byId() + "/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
  EXPECT_EQ(ports[2].description, "FTDI FT232R USB UART");
  EXPECT_EQ(ports[2].usbId, "0403:6001");
  EXPECT_EQ(ports[2].summary(), "ttyUSB2 - FTDI FT232R USB UART, USB 0403:6001, serial A1B2C3");
  EXPECT_EQ(ports[3].device, byId() + "/usb-Prolific_PL2303-if00");
  EXPECT_EQ(ports[3].description, "Prolific PL2303 serial");  // maker not repeated
  EXPECT_EQ(ports[3].usbId, "067b:2303");
}

TEST_F(FakeDevices, WithoutByIdTheSystemDevicesAreTheNames) {
  const std::vector<SerialPortFacts> facts{{dev("ttyACM0"), "Arduino", "", "", 0x2341, 0x0043}};
  for (const QString& missing : {qpath(dir.file("no-such-dir")), QString()}) {
    const auto ports = describeSerialPorts(facts, missing);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].device, dev("ttyACM0"));
    EXPECT_EQ(ports[0].summary(), "ttyACM0 - Arduino, USB 2341:0043");
  }
}

TEST_F(FakeDevices, TypedNamesFindTheirPort) {
  link("usb-FTDI-if00-port0", "ttyUSB0");
  const std::vector<SerialPortFacts> facts{{dev("ttyUSB0"), "FTDI", "", "", 0x0403, 0x6001},
                                           {"COM3", "", "", "", std::nullopt, std::nullopt}};
  const auto ports = describeSerialPorts(facts, byId());
  const QString stable = byId() + "/usb-FTDI-if00-port0";
  ASSERT_NE(findSerialPort(ports, stable), nullptr);
  EXPECT_EQ(findSerialPort(ports, dev("ttyUSB0")), findSerialPort(ports, stable));
  EXPECT_EQ(findSerialPort(ports, " " + stable + " ")->systemDevice, dev("ttyUSB0"));
  EXPECT_EQ(findSerialPort(ports, "com3")->systemDevice, "COM3");
  EXPECT_EQ(findSerialPort(ports, dev("ttyUSB2")), nullptr);  // exists, but not a listed port
  EXPECT_EQ(findSerialPort(ports, ""), nullptr);
}

// A stable name is a path like any other: the link opens it as it is.
TEST_F(FakeDevices, StableNamesAreOpenedAsTyped) {
  LinkState s;
  s.comDevice = "/dev/serial/by-id/usb-FTDI-if00-port0";
  EXPECT_EQ(serialDeviceName(s), "/dev/serial/by-id/usb-FTDI-if00-port0");
  for (const auto& entry : availableSerialPorts(byId())) {
    EXPECT_FALSE(entry.device.isEmpty());
    EXPECT_FALSE(entry.systemDevice.isEmpty());
  }
}

}  // namespace
}  // namespace drq
