#pragma once
// The exchange engine: frame buffers, response fields, link state and the one
// failure report. One request/response exchange at a time, on the
// user-interface thread; while it waits, nested callbacks run (through the
// transport's wait).
//
// Conventions: operations return 1 on success and -1 on failure. A failure has
// been reported exactly once (SetTimeout) by the time -1 is returned; callers
// only stop.
//
// Reception. Serial: the engine waits until the input queue holds the bytes it
// needs (received byte count = queue length last seen), then reads them into
// the receive buffer. TCP: received bytes are moved into the receive buffer at
// the received byte count, which DataExchange resets to 0; the engine moves
// only as many as the current step needs, so unasked frames that follow stay
// queued in the socket instead of being overwritten.
//
// Time limits: the header and the payload are each awaited at most 3.0 s from
// the start of the step, compared with "greater than"; on a serial link the
// final read of the step may add the port's 2.0 s read time-out.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/Frame.h"
#include "core/protocol/LinkSettings.h"
#include "core/protocol/Transport.h"
#include "core/util/Clock.h"
#include "core/util/ObservableFlag.h"

namespace drq {

// Operator texts of link failures, exactly as shown.
inline constexpr std::string_view kMsgHeaderIncorrect =
    "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
inline constexpr std::string_view kMsgDataIncorrect =
    "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";
inline constexpr std::string_view kMsgInvalidOrder =
    "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!";
inline constexpr std::string_view kMsgCommunicationError =
    "COMMUNICATION ERROR!\nYOU MAY HAVE TO REDUCE BAUDRATE!";
inline constexpr std::string_view kMsgTimeout =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
    "\nTRY TO CONNECT AGAIN!";
inline constexpr std::string_view kMsgStreamLineError =
    "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT "
    "AGAIN!";
inline constexpr std::string_view kMsgServerClosed = "SERVER HAS CLOSED CONNECTION!";

// Time limit of each receive step of an exchange, seconds ("greater than").
inline constexpr double kExchangeTimeoutSeconds = 3.0;
// Capacity of the error text buffer, characters.
inline constexpr std::size_t kMaxErrorText = 255;

// Receiver of link failures. The GUI's connection page implements it (status
// "TIMEOUT!", message box, dimming, page switch); the CLI prints to stderr.
class FailureReport {
 public:
  virtual ~FailureReport() = default;
  // Called by SetTimeout after RunFlag and the link-up flag were cleared;
  // `message` is the error text buffer's content. Plausibility notices
  // ("INFO!\n...") arrive here too.
  virtual void linkFailed(std::string_view message) = 0;
};

// Protocol selector values.
inline constexpr std::uint16_t kProtocolRs232 = 0;
inline constexpr std::uint16_t kProtocolTcp = 1;

// Settings the connection page edits, and the state of the link.
struct LinkState {
  std::uint16_t protocol = kProtocolRs232;
  std::uint16_t comPort = 1;                    // 1 = COM1 (/dev/ttyS0 on Linux)
  std::string comDevice;                        // explicit device path; empty: derived from comPort
  std::uint16_t baudIndex = kDefaultBaudIndex;  // index into the baud-rate table
  std::string serverAddress;                    // host name or dotted address
  int serverPort = kDefaultTcpPort;
  bool tcpConnected = false;
  bool linkUp = false;         // the sensor is known to answer
  int lastTransportError = 0;  // result of the last opening; negative on failure
  int lineStatus = 0;          // last serial line-status query; 0 on TCP
  std::string errorText;       // message of the last failure (at most 255 characters)
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
  FailureReport* failureReport() const { return report_; }

  // Replaces (and closes) the current transport. nullptr closes it. Replacing
  // an open TCP transport clears tcpConnected. Safe to call from a callback
  // that runs nested inside a wait: the old transport is closed at once (the
  // wait ends as closed) and destroyed when the wait has returned.
  void setTransport(std::unique_ptr<Transport> transport);
  Transport* transport() { return transport_.get(); }

  // --- Request side -------------------------------------------------------
  // Payload area of the frame build area (512 bytes); callers write the
  // request payload here before FillTxBuf.
  std::span<std::uint8_t, kMaxRequestPayload> payloadArea();

  // Builds the header in front of the payload area (order: low 8 bits;
  // argument, length: 16 bits; a length above 512 is cut to 512) and copies
  // length + 8 bytes into the transmit buffer.
  void FillTxBuf(unsigned order, unsigned argument, unsigned length);

  // The transmit buffer (8 + 512 bytes).
  std::span<const std::uint8_t> transmitBuffer() const;

  // Clears the receive buffer and the line status, discards stale input,
  // sends `count` bytes of the transmit buffer (at most its size) with one
  // write and receives the response into the receive buffer (GetHeaderFrame,
  // then GetDataFrame for a non-empty payload). 1 on success, -1 on failure
  // (already reported). Without a transport the time-out is reported at once.
  int DataExchange(std::size_t count);

  // While the program ends: on, DataExchange sends only the requests that
  // stop the sensor's pushing (isStopOrder) and fails every other one at
  // once, without sending or reporting it (-1). The exchange in flight when
  // it is turned on finishes as usual.
  void setStopOrdersOnly(bool on) { stopOrdersOnly_ = on; }
  bool stopOrdersOnly() const { return stopOrdersOnly_; }
  // True for ORDER_AUTO_SEND and ORDER_SCOPE with argument 0.
  static bool isStopOrder(std::uint8_t order, std::uint16_t argument);

  // FillTxBuf + DataExchange for a payload copied into the payload area
  // (at most 512 bytes are sent).
  int exchange(std::uint8_t order, std::uint16_t argument,
               std::span<const std::uint8_t> payload = {});

  // The two receive steps of an exchange; GetDataFrame is also used alone by
  // the streaming readers.
  // GetHeaderFrame: waits for the 8 header bytes (3.0 s), checks them
  // (CheckHeaderCRC) and evaluates the response: an error report with
  // argument 1 or 2 fails with its message; any other answer succeeds.
  int GetHeaderFrame();
  // GetDataFrame: waits for the responseLength() payload bytes at offset 8
  // (3.0 s) and checks them against the payload CRC. Succeeds at once for an
  // empty payload.
  int GetDataFrame();

  // Checks the 8 header bytes at `offset` of the receive buffer (0 for an
  // exchange; the scope checks its capture blocks in place). Good: start byte
  // 0x55, header CRC right, and the announced payload fits into the receive
  // buffer behind the header; then stores the response fields and returns 1.
  // Otherwise reports "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!",
  // keeps the previous response fields and returns -1; a header announcing
  // more than fits also has its pending input discarded.
  int CheckHeaderCRC(std::size_t offset = 0);

  // Streaming reception (automatic sending, scope on a serial link): waits for
  // the next pushed frame without a time limit while `running` is set, then
  // checks its header and receives its payload (3.0 s limit).
  // A stop ends the wait only between two frames: when `running` is cleared
  // (also before the call) after bytes of a frame have arrived, that frame is
  // received whole as usual (its header within 3.0 s of the stop; bytes that
  // do not make a header by then are discarded and the result is Stopped).
  //   Frame    header and payload good; response fields and payload updated.
  //   Stopped  `running` was cleared before a frame began; nothing reported.
  //   BadFrame the frame failed its checks, its payload did not arrive in
  //            time, or it is an error report that an exchange would fail
  //            with (argument 1 or 2, reported with the same message);
  //            reported (RunFlag cleared). The stream may go on.
  //   Failed   serial line error or hang-up (reported with
  //            "TIMEOUT! \nCOMMUNICATION ERROR! \n..."), or the TCP server
  //            closed the connection (reported by the TCP handler); the
  //            stream cannot go on.
  // TCP: the received byte count is reset to 0 first, as for an exchange.
  enum class StreamResult { Frame, Stopped, Failed, BadFrame };
  StreamResult ReceivePushedFrame(const ObservableFlag& running);

  // Ends a stream of pushed frames: sends the request `order`, `argument`
  // (no payload) and receives its answer as an exchange does, except that
  // frames the sensor pushed before it read the request are received whole
  // and dropped. The answer is the first frame with `order` (or an error
  // report, which fails as in an exchange); it must begin within 3.0 s of the
  // request, however many pushed frames come first. `atFrameBoundary`: the
  // stream was stopped between two frames, so what has arrived is the start
  // of the next ones and is kept; otherwise (after a failure) pending input
  // is discarded first, as an exchange does. 1 or -1 (reported).
  int endStream(std::uint8_t order, std::uint16_t argument, bool atFrameBoundary);

  // Streaming reception of a block (scope on a TCP link): waits without a time
  // limit while `running` is set until the receive buffer holds `total` bytes
  // (at most 2048) counted from its start, i.e. the received byte count
  // continues from the exchange that started the stream. Returns Frame when
  // they are there, Stopped, or Failed (closed connection, or a serial line
  // error, reported as in ReceivePushedFrame). Checks nothing: the caller
  // checks the blocks with CheckHeaderCRC(offset) and crc8Update.
  StreamResult waitForReceived(std::size_t total, const ObservableFlag& running);

  // Passes time on the user-interface thread (nested callbacks run): one wait
  // on the open transport that ends after `timeoutSeconds`, when `running` is
  // cleared, or when the channel closes. Bytes arriving meanwhile stay queued
  // for the next exchange. Returns Timeout, Stopped or Closed (at once when
  // there is no open transport). The recorder's pause between two requests.
  WaitResult waitIdle(double timeoutSeconds, const ObservableFlag& running);

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
  // Received byte count: serial, the input-queue length last seen; TCP, the
  // bytes stored in the receive buffer since the count was last reset.
  std::size_t receivedCount() const { return receivedCount_; }

  ObservableFlag& runFlag() { return runFlag_; }
  const Clock& clock() const { return clock_; }

 private:
  // After a good header: an error report with argument 1 or 2 is reported
  // with its message (-1); any other response passes (1).
  int checkErrorReport();
  // GetHeaderFrame with the header awaited at most `limit` seconds.
  int receiveHeader(double limit);
  // Bytes of a pushed frame have arrived (in the receive buffer or queued).
  bool frameBegun();
  enum class Fill { QueueOnly, IntoBuffer };
  enum class TcpEvent { DataReady, Disconnect };

  // Waits until `need` bytes are at hand (QueueOnly: in the transport's input
  // queue; IntoBuffer: in the receive buffer, moved there at the received
  // byte count) or `limit` seconds have passed ("greater than"), `running`
  // (if given) is cleared, the transport closes, or (watchLine) the line
  // status turns positive.
  WaitResult awaitBytes(std::size_t need, Fill fill, double limit, const ObservableFlag* running,
                        bool watchLine);
  // Moves received bytes into the receive buffer at the received byte count
  // until it holds `upTo` bytes (never past 2048); returns the count.
  std::size_t pullIntoBuffer(std::size_t upTo);
  // The TCP callback: DataReady moves received bytes into the receive buffer
  // (pullIntoBuffer); Disconnect reports "SERVER HAS CLOSED CONNECTION!" and
  // clears tcpConnected.
  std::size_t ClientTCPCB(TcpEvent event, std::size_t upTo = kReceiveBufferSize);
  void onTransportClosed();
  bool isTcp() const;
  // Serial: line status (if asked), then a read of `count` bytes at `offset`
  // of the receive buffer with the port's time-out.
  void serialStatusAndRead(std::size_t offset, std::size_t count, bool queryStatus);
  void retireTransport();

  ObservableFlag& runFlag_;
  const Clock& clock_;
  FailureReport* report_ = nullptr;
  std::unique_ptr<Transport> transport_;
  std::vector<std::unique_ptr<Transport>> retired_;  // closed while a wait was running
  int waitDepth_ = 0;
  bool stopOrdersOnly_ = false;
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
