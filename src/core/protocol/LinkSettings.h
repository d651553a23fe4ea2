#pragma once
// Settings tables of the link: the baud-rate table shared by the serial port
// and ORDER_SET_BAUDRATE, and the result codes and operator texts of a failed
// opening of the serial port or connection to the server.

#include <array>
#include <cstdint>
#include <string_view>

namespace drq {

// Baud-rate table, indexed by the baud-rate index 0..7.
inline constexpr std::array<std::int32_t, 8> kBaudRates = {9600,   19200,  38400,  57600,
                                                           115200, 230400, 460800, 921600};
inline constexpr std::uint16_t kDefaultBaudIndex = 4;  // 115200

// The sensor's TCP server port unless the operator gives another.
inline constexpr std::uint16_t kDefaultTcpPort = 10001;

// Rate for a baud-rate index; any index outside 0..7 opens at 115200.
constexpr std::int32_t baudRateForIndex(int index) {
  return index >= 0 && index < static_cast<int>(kBaudRates.size())
             ? kBaudRates[static_cast<std::size_t>(index)]
             : kBaudRates[kDefaultBaudIndex];
}

// Index of a rate in the table, or -1 when the rate is not in it.
constexpr int baudIndexForRate(std::int32_t rate) {
  for (std::size_t i = 0; i < kBaudRates.size(); ++i)
    if (kBaudRates[i] == rate) return static_cast<int>(i);
  return -1;
}

// Result codes of opening the serial port (0 = opened).
inline constexpr int kSerialTimeout = -99;
inline constexpr int kSerialInvalidBaudrate = -14;
inline constexpr int kSerialCannotOpen = -7;
inline constexpr int kSerialNoPortFound = -6;
inline constexpr int kSerialIoError = -4;
inline constexpr int kSerialPortNotOpen = -3;
inline constexpr int kSerialInvalidPort = -2;
inline constexpr int kSerialSystemError = -1;

// Result codes of connecting to the server (0 = connected), -1 .. -20.
inline constexpr int kTcpUnableToEstablishConnection = -2;
inline constexpr int kTcpFailedToConnect = -4;
inline constexpr int kTcpTooManyConversations = -6;
inline constexpr int kTcpInvalidParameter = -9;
inline constexpr int kTcpOutOfMemory = -10;
inline constexpr int kTcpTimeOut = -11;
inline constexpr int kTcpConnectionClosed = -14;
inline constexpr int kTcpNetworkSubsystemNotReady = -17;

// A negative result that neither table names: it shows the catch-all text.
inline constexpr int kUnlistedTransportError = -100;
// The caller stopped a connection attempt before it ended (drqctl on a
// signal); not a failure of the link, so nothing is reported for it.
inline constexpr int kTcpConnectStopped = -101;

// Operator text for a negative serial result ("RS-232 error!" for unlisted codes).
std::string_view serialErrorText(int result);
// Operator text for a negative TCP result ("Connection to server failed" for unlisted codes).
std::string_view tcpErrorText(int result);

}  // namespace drq
