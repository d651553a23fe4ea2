#include "core/protocol/LinkSettings.h"

#include <cstddef>

namespace drq {

std::string_view serialErrorText(int result) {
  switch (result) {
    case kSerialTimeout:
      return "Timeout";
    case kSerialInvalidBaudrate:
      return "Invalid Baudrate";
    case kSerialCannotOpen:
      return "Cannot open port";
    case kSerialNoPortFound:
      return "No serial port found";
    case kSerialIoError:
      return "Unknown I/0 error";
    case kSerialPortNotOpen:
      return "Port is not open";
    case kSerialInvalidPort:
      return "Invalid port number";
    case kSerialSystemError:
      return "Unknown system error";
    default:
      return "RS-232 error!";
  }
}

std::string_view tcpErrorText(int result) {
  static constexpr std::string_view kTexts[] = {"UnableToRegisterService",
                                                "UnableToEstablishConnection",
                                                "ExistingServer",
                                                "FailedToConnect",
                                                "ServerNotRegistered",
                                                "TooManyConversations",
                                                "ReadFailed",
                                                "WriteFailed",
                                                "InvalidParameter",
                                                "OutOfMemory",
                                                "TimeOutError",
                                                "NoConnectionEstablished",
                                                "GeneralIOErr",
                                                "ConnectionClosed",
                                                "UnableToLoadWinsockDLL",
                                                "IncorrectWinsockDLLVersion",
                                                "NetworkSubsystemNotReady",
                                                "ConnectionsStillOpen",
                                                "DisconnectPending",
                                                "InfoNotAvailable"};
  if (result <= -1 && result >= -static_cast<int>(std::size(kTexts)))
    return kTexts[static_cast<std::size_t>(-result - 1)];
  return "Connection to server failed";
}

}  // namespace drq
