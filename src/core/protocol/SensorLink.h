#pragma once
// The exchange engine: frame buffers, response fields, link state and the one
// failure report. One request/response exchange at a time, on the
// user-interface thread; while it waits, nested callbacks run (through the
// transport's wait).
//
// Conventions: operations return 1 on success and -1 on failure. A failure has
// been reported exactly once (SetTimeout) by the time -1 is returned; callers
// only stop.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/protocol/Frame.h"
#include "core/protocol/Transport.h"
#include "core/util/Clock.h"
#include "core/util/ObservableFlag.h"

namespace drq {

// Operator texts of link failures, exactly as shown.
inline constexpr std::string_view kMsgHeaderIncorrect = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
inline constexpr std::string_view kMsgDataIncorrect = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";
inline constexpr std::string_view kMsgInvalidOrder =
    "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!";
inline constexpr std::string_view kMsgCommunicationError =
    "COMMUNICATION ERROR!\nYOU MAY HAVE TO REDUCE BAUDRATE!";
inline constexpr std::string_view kMsgTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
    "\nTRY TO CONNECT AGAIN!";
inline constexpr std::string_view kMsgStreamLineError =
    "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT AGAIN!";
inline constexpr std::string_view kMsgServerClosed = "SERVER HAS CLOSED CONNECTION!";

// Receiver of link failures. The GUI's connection page implements it (status
// "TIMEOUT!", message box, dimming, page switch); the CLI prints to stderr.
class FailureReport {
 public:
  virtual ~FailureReport() = default;
  // Called by SetTimeout after RunFlag and the link-up flag were cleared;
  // `message` is the error text buffer's content.
  virtual void linkFailed(std::string_view message) = 0;
};

// Protocol selector values.
inline constexpr std::uint16_t kProtocolRs232 = 0;
inline constexpr std::uint16_t kProtocolTcp = 1;

// Settings the connection page edits, and the state of the link.
struct LinkState {
  std::uint16_t protocol = kProtocolRs232;
  std::uint16_t comPort = 1;        // 1 = COM1 (/dev/ttyS0 on Linux)
  std::string comDevice;            // explicit device path; empty: derived from comPort
  std::uint16_t baudIndex = 4;      // index into the baud-rate table
  std::string serverAddress;        // host name or dotted address
  int serverPort = 10001;
  bool tcpConnected = false;
  bool linkUp = false;              // the sensor is known to answer
  int lastTransportError = 0;       // result of the last opening; negative on failure
  int lineStatus = 0;
  std::string errorText;            // message of the last failure (at most 255 characters)
};

class SensorLink {
 public:
  // `runFlag` is the session's RunFlag, cleared by every failure report.
  SensorLink(ObservableFlag& runFlag, const Clock& clock);
  ~SensorLink();
  SensorLink(const SensorLink&) = delete;
  SensorLink& operator=(const SensorLink&) = delete;

  LinkState& state() { return state_; }
  const LinkState& state() const { return state_; }

  void setFailureReport(FailureReport* report) { report_ = report; }

  // Replaces (and closes) the current transport. nullptr closes it.
  void setTransport(std::unique_ptr<Transport> transport);
  Transport* transport() { return transport_.get(); }

  // --- Request side -------------------------------------------------------
  // Payload area of the frame build area (512 bytes); callers write the
  // request payload here before FillTxBuf.
  std::span<std::uint8_t, kMaxRequestPayload> payloadArea();

  // Builds the header in front of the payload area (order: low 8 bits;
  // argument, length: 16 bits; length at most 512) and copies length + 8 bytes
  // into the transmit buffer.
  void FillTxBuf(unsigned order, unsigned argument, unsigned length);

  // The transmit buffer (at least 8 + 512 bytes).
  std::span<const std::uint8_t> transmitBuffer() const;

  // Sends `count` bytes of the transmit buffer and receives the response into
  // the receive buffer. 1 on success, -1 on failure (already reported).
  int DataExchange(std::size_t count);

  // FillTxBuf + DataExchange for a payload copied into the payload area.
  int exchange(std::uint8_t order, std::uint16_t argument,
               std::span<const std::uint8_t> payload = {});

  // The two receive steps of an exchange; GetDataFrame is also used alone by
  // the streaming readers.
  int GetHeaderFrame();
  int GetDataFrame();

  // Checks the 8 header bytes at the start of the receive buffer; on success
  // stores the response fields and returns 1, else reports and returns -1.
  int CheckHeaderCRC();

  // Streaming reception (automatic sending, scope): waits for the next pushed
  // frame without a time limit while `running` is set.
  enum class StreamResult { Frame, Stopped, Failed };
  StreamResult ReceivePushedFrame(const ObservableFlag& running);

  // --- Failure report -----------------------------------------------------
  // Clears RunFlag and the link-up flag and hands the error text to the
  // failure report.
  void SetTimeout();
  // errorText = text (cut to 255 characters); SetTimeout().
  void reportFailure(std::string_view text);

  // --- Response fields (kept until the next header passes its check) -------
  std::uint8_t responseOrder() const { return responseOrder_; }
  std::uint16_t responseArgument() const { return responseArgument_; }
  std::uint16_t responseLength() const { return responseLength_; }
  std::uint8_t responsePayloadCrc() const { return responsePayloadCrc_; }

  // The 2048-byte receive buffer: header at 0, payload at 8.
  std::span<const std::uint8_t, kReceiveBufferSize> receiveBuffer() const;
  // The received payload: receive buffer from offset 8, responseLength() bytes
  // (at most 2040).
  std::span<const std::uint8_t> responsePayload() const;

  ObservableFlag& runFlag() { return runFlag_; }
  const Clock& clock() const { return clock_; }

 private:
  ObservableFlag& runFlag_;
  const Clock& clock_;
  FailureReport* report_ = nullptr;
  std::unique_ptr<Transport> transport_;
  LinkState state_;

  std::array<std::uint8_t, kHeaderSize + kMaxRequestPayload> buildArea_{};
  std::array<std::uint8_t, kHeaderSize + kMaxRequestPayload> txBuffer_{};
  std::array<std::uint8_t, kReceiveBufferSize> rxBuffer_{};
  std::size_t receivedCount_ = 0;

  std::uint8_t responseOrder_ = 0;
  std::uint16_t responseArgument_ = 0;
  std::uint16_t responseLength_ = 0;
  std::uint8_t responsePayloadCrc_ = 0;
};

}  // namespace drq
