#include "core/protocol/SensorLink.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/protocol/Crc8.h"

namespace drq {

namespace {

// The waits end just after their limit, so that the "greater than" comparison
// of the elapsed time decides, not the timer's rounding.
constexpr double kDeadlineSlack = 0.001;

// Line status assumed when the port disappeared in the middle of a step.
constexpr int kLineStatusGone = 1;

}  // namespace

SensorLink::SensorLink(ObservableFlag& runFlag, const Clock& clock)
    : runFlag_(runFlag), clock_(clock) {}

SensorLink::~SensorLink() {
  if (transport_) {
    transport_->setClosedHandler({});
    transport_->close();
  }
}

void SensorLink::setTransport(std::unique_ptr<Transport> transport) {
  if (transport_) {
    transport_->setClosedHandler({});
    if (transport_->kind() == TransportKind::Tcp) state_.tcpConnected = false;
    transport_->close();
    // A wait or handler further up the stack may still be inside the old
    // transport: it is destroyed at the next top-level call instead.
    retired_.push_back(std::move(transport_));
  }
  retireTransport();
  transport_ = std::move(transport);
  if (transport_) transport_->setClosedHandler([this] { onTransportClosed(); });
}

void SensorLink::retireTransport() {
  if (waitDepth_ == 0) retired_.clear();
}

bool SensorLink::isTcp() const {
  return transport_ && transport_->kind() == TransportKind::Tcp;
}

// --- Request side -----------------------------------------------------------

std::span<std::uint8_t, kMaxRequestPayload> SensorLink::payloadArea() {
  return std::span<std::uint8_t, kMaxRequestPayload>(buildArea_.data() + kHeaderSize,
                                                     kMaxRequestPayload);
}

void SensorLink::FillTxBuf(unsigned order, unsigned argument, unsigned length) {
  const std::size_t n = std::min<std::size_t>(length, kMaxRequestPayload);
  const Crc8Table& table = crc8Table();
  buildArea_[0] = kStartByte;
  buildArea_[1] = static_cast<std::uint8_t>(order & 0xFF);
  writeLe16(buildArea_, 2, static_cast<std::uint16_t>(argument & 0xFFFF));
  writeLe16(buildArea_, 4, static_cast<std::uint16_t>(n));
  buildArea_[6] = crc8Update(buildArea_, kHeaderSize, n, table);
  buildArea_[7] = crc8Update(buildArea_, 0, 7, table);
  std::copy_n(buildArea_.begin(), n + kHeaderSize, txBuffer_.begin());
}

std::span<const std::uint8_t> SensorLink::transmitBuffer() const {
  return txBuffer_;
}

int SensorLink::exchange(std::uint8_t order, std::uint16_t argument,
                         std::span<const std::uint8_t> payload) {
  const std::size_t n = std::min(payload.size(), kMaxRequestPayload);
  // The payload may already be in the payload area (memmove tolerates that).
  if (n > 0) std::memmove(payloadArea().data(), payload.data(), n);
  FillTxBuf(order, argument, static_cast<unsigned>(n));
  return DataExchange(n + kHeaderSize);
}

bool SensorLink::isStopOrder(std::uint8_t order, std::uint16_t argument) {
  return argument == 0 && (order == ORDER_AUTO_SEND || order == ORDER_SCOPE);
}

int SensorLink::DataExchange(std::size_t count) {
  if (stopOrdersOnly_ && !isStopOrder(txBuffer_[1], readLe16(txBuffer_, 2))) return -1;
  retireTransport();
  rxBuffer_.fill(0);
  state_.lineStatus = 0;
  receivedCount_ = 0;
  if (transport_) {
    // Serial: both queues are flushed. TCP: whatever arrived before the
    // request is dropped, as the received byte count starts again at 0.
    transport_->flush();
    transport_->write(
        std::span<const std::uint8_t>(txBuffer_).first(std::min(count, txBuffer_.size())));
  }
  const int header = GetHeaderFrame();
  if (header == 1 && responseLength_ != 0) return GetDataFrame();
  return header;
}

// --- Waiting ----------------------------------------------------------------

std::size_t SensorLink::pullIntoBuffer(std::size_t upTo) {
  const std::size_t limit = std::min(upTo, kReceiveBufferSize);
  if (transport_ && receivedCount_ < limit) {
    receivedCount_ += transport_->read(
        std::span<std::uint8_t>(rxBuffer_).subspan(receivedCount_, limit - receivedCount_));
  }
  return receivedCount_;
}

std::size_t SensorLink::ClientTCPCB(TcpEvent event, std::size_t upTo) {
  if (event == TcpEvent::DataReady) return pullIntoBuffer(upTo);
  reportFailure(kMsgServerClosed);
  state_.tcpConnected = false;
  return receivedCount_;
}

void SensorLink::onTransportClosed() {
  // Runs inside the transport's own signal: nothing may be destroyed here.
  ++waitDepth_;
  if (isTcp()) ClientTCPCB(TcpEvent::Disconnect);
  --waitDepth_;
}

WaitResult SensorLink::awaitBytes(std::size_t need, Fill fill, double limit,
                                  const ObservableFlag* running, bool watchLine) {
  if (fill == Fill::IntoBuffer) need = std::min(need, kReceiveBufferSize);
  const double start = clock_.now();
  bool closed = false;
  for (;;) {
    Transport* t = transport_.get();
    if (t == nullptr) return WaitResult::Closed;
    std::size_t have = 0;
    if (fill == Fill::IntoBuffer) {
      have = ClientTCPCB(TcpEvent::DataReady, need);
    } else {
      receivedCount_ = t->bytesAvailable();
      have = receivedCount_;
    }
    if (watchLine) {
      state_.lineStatus = t->lineStatus();
      if (state_.lineStatus > 0) return WaitResult::LineError;
    }
    if (running != nullptr && !running->isSet()) return WaitResult::Stopped;
    if (have >= need) return WaitResult::Ready;
    if (closed || !t->isOpen()) return WaitResult::Closed;
    const double elapsed = clock_.now() - start;
    if (elapsed > limit) return WaitResult::Timeout;
    const double remaining = limit == kNoTimeout ? kNoTimeout : limit - elapsed + kDeadlineSlack;
    const std::size_t missing = fill == Fill::IntoBuffer ? need - have : need;
    ++waitDepth_;
    const WaitResult r = t->waitFor(missing, remaining, running);
    --waitDepth_;
    if (transport_.get() != t) return WaitResult::Closed;  // replaced while waiting
    if (r == WaitResult::Closed) closed = true;
  }
}

void SensorLink::serialStatusAndRead(std::size_t offset, std::size_t count, bool queryStatus) {
  Transport* t = transport_.get();
  if (t == nullptr) {
    state_.lineStatus = kLineStatusGone;
    return;
  }
  if (queryStatus) state_.lineStatus = t->lineStatus();
  ++waitDepth_;
  t->readWithPortTimeout(std::span<std::uint8_t>(rxBuffer_).subspan(offset, count));
  --waitDepth_;
}

// --- Receive steps ----------------------------------------------------------

int SensorLink::GetHeaderFrame() {
  return receiveHeader(kExchangeTimeoutSeconds);
}

int SensorLink::receiveHeader(double limit) {
  bool arrived = false;
  if (isTcp()) {
    arrived = awaitBytes(kHeaderSize, Fill::IntoBuffer, limit, nullptr, false) == WaitResult::Ready;
  } else if (transport_) {
    arrived = awaitBytes(kHeaderSize, Fill::QueueOnly, limit, nullptr, false) == WaitResult::Ready;
    serialStatusAndRead(0, kHeaderSize, true);  // made whether the wait succeeded or not
  }
  if (!arrived || state_.lineStatus > 0) {
    reportFailure(kMsgTimeout);
    return -1;
  }
  if (CheckHeaderCRC() != 1) return -1;
  return checkErrorReport();
}

int SensorLink::checkErrorReport() {
  if (responseOrder_ == kErrorReportOrder) {
    if (responseArgument_ == kErrorUnknownOrder) {
      reportFailure(kMsgInvalidOrder);
      return -1;
    }
    if (responseArgument_ == kErrorCommunication) {
      reportFailure(kMsgCommunicationError);
      return -1;
    }
  }
  return 1;
}

int SensorLink::GetDataFrame() {
  const std::size_t length = std::min<std::size_t>(responseLength_, kMaxResponsePayload);
  if (length == 0) return 1;
  bool arrived = false;
  if (isTcp()) {
    arrived = awaitBytes(kHeaderSize + length, Fill::IntoBuffer, kExchangeTimeoutSeconds, nullptr,
                         false) == WaitResult::Ready;
  } else if (transport_) {
    arrived = awaitBytes(length, Fill::QueueOnly, kExchangeTimeoutSeconds, nullptr, false) ==
              WaitResult::Ready;
    serialStatusAndRead(kHeaderSize, length, true);
  }
  if (!arrived || state_.lineStatus > 0) {
    reportFailure(kMsgTimeout);
    return -1;
  }
  if (crc8Update(rxBuffer_, kHeaderSize, length, crc8Table()) != responsePayloadCrc_) {
    reportFailure(kMsgDataIncorrect);
    return -1;
  }
  return 1;
}

int SensorLink::CheckHeaderCRC(std::size_t offset) {
  if (offset > kReceiveBufferSize - kHeaderSize) {
    reportFailure(kMsgHeaderIncorrect);
    return -1;
  }
  const std::span<const std::uint8_t, kHeaderSize> header(rxBuffer_.data() + offset, kHeaderSize);
  if (!headerIsValid(header)) {
    reportFailure(kMsgHeaderIncorrect);
    return -1;
  }
  const FrameHeader fields = decodeHeader(header);
  if (offset + kHeaderSize + fields.length > kReceiveBufferSize) {
    // More payload than the receive buffer holds: a corrupt header. What has
    // arrived of that response is dropped; the rest is dropped by the flush of
    // the next exchange.
    if (transport_) transport_->flush();
    reportFailure(kMsgHeaderIncorrect);
    return -1;
  }
  responseOrder_ = fields.order;
  responseArgument_ = fields.argument;
  responseLength_ = fields.length;
  responsePayloadCrc_ = fields.payloadCrc;
  return 1;
}

// --- Streaming --------------------------------------------------------------

bool SensorLink::frameBegun() {
  if (!transport_) return false;
  return (isTcp() && receivedCount_ > 0) || transport_->bytesAvailable() > 0;
}

SensorLink::StreamResult SensorLink::ReceivePushedFrame(const ObservableFlag& running) {
  retireTransport();
  if (!transport_) {
    reportFailure(kMsgStreamLineError);
    return StreamResult::Failed;
  }
  const bool tcp = isTcp();
  const Fill fill = tcp ? Fill::IntoBuffer : Fill::QueueOnly;
  if (tcp) receivedCount_ = 0;
  WaitResult w = awaitBytes(kHeaderSize, fill, kNoTimeout, &running, !tcp);
  if (w == WaitResult::Stopped) {
    // A stop ends the wait between two frames only: a frame that has begun to
    // arrive is received whole, so that it is neither lost nor left on the
    // line in front of the answer to the request that ends the stream.
    if (!frameBegun()) return StreamResult::Stopped;
    w = awaitBytes(kHeaderSize, fill, kExchangeTimeoutSeconds, nullptr, !tcp);
    if (w == WaitResult::Timeout) {
      // Stray bytes that never became a header: the operator's stop stands.
      transport_->flush();
      return StreamResult::Stopped;
    }
  }
  if (w != WaitResult::Ready) {
    // A closed TCP connection has been reported by ClientTCPCB.
    if (!tcp) reportFailure(kMsgStreamLineError);
    return StreamResult::Failed;
  }
  if (!tcp) serialStatusAndRead(0, kHeaderSize, false);  // the status was checked on every pass
  if (CheckHeaderCRC() != 1) return StreamResult::BadFrame;
  // An error report in the stream is no frame: the sensor fails the stream
  // as it would fail an exchange.
  if (checkErrorReport() != 1) return StreamResult::BadFrame;
  if (GetDataFrame() != 1) return StreamResult::BadFrame;
  return StreamResult::Frame;
}

int SensorLink::endStream(std::uint8_t order, std::uint16_t argument, bool atFrameBoundary) {
  retireTransport();
  FillTxBuf(order, argument, 0);
  rxBuffer_.fill(0);
  state_.lineStatus = 0;
  receivedCount_ = 0;
  const double start = clock_.now();
  if (transport_) {
    if (!atFrameBoundary) transport_->flush();
    transport_->write(std::span<const std::uint8_t>(txBuffer_).first(kHeaderSize));
  }
  for (;;) {
    // The answer must arrive within the exchange's limit however many pushed
    // frames come first; a header that is not there by then is a time-out.
    const double left = std::max(0.0, kExchangeTimeoutSeconds - (clock_.now() - start));
    if (receiveHeader(left) != 1) return -1;
    if (responseLength_ != 0 && GetDataFrame() != 1) return -1;
    if (responseOrder_ == order || responseOrder_ == kErrorReportOrder) return 1;
    // A frame the sensor pushed before it read the request: dropped.
    receivedCount_ = 0;
  }
}

SensorLink::StreamResult SensorLink::waitForReceived(std::size_t total,
                                                     const ObservableFlag& running) {
  retireTransport();
  const bool serial = transport_ && !isTcp();
  const WaitResult w = awaitBytes(total, Fill::IntoBuffer, kNoTimeout, &running, serial);
  if (w == WaitResult::Ready) return StreamResult::Frame;
  if (w == WaitResult::Stopped) return StreamResult::Stopped;
  if (serial || !transport_) reportFailure(kMsgStreamLineError);
  return StreamResult::Failed;
}

WaitResult SensorLink::waitIdle(double timeoutSeconds, const ObservableFlag& running) {
  retireTransport();
  if (!running.isSet()) return WaitResult::Stopped;
  Transport* t = transport_.get();
  if (t == nullptr || !t->isOpen()) return WaitResult::Closed;
  ++waitDepth_;
  // No byte count is ever reached: only the deadline, the flag or a hang-up
  // end the wait. A serial line error ends it early; the caller waits again.
  WaitResult r = t->waitFor(std::numeric_limits<std::size_t>::max(), timeoutSeconds, &running);
  --waitDepth_;
  if (transport_.get() != t) r = WaitResult::Closed;  // replaced while waiting
  if (r == WaitResult::Ready || r == WaitResult::LineError) r = WaitResult::Timeout;
  return r;
}

// --- Failure report ---------------------------------------------------------

void SensorLink::SetTimeout() {
  runFlag_.clear();
  state_.linkUp = false;
  if (report_ != nullptr) report_->linkFailed(state_.errorText);
}

void SensorLink::reportFailure(std::string_view text) {
  state_.errorText.assign(text.substr(0, kMaxErrorText));
  SetTimeout();
}

// --- Response ---------------------------------------------------------------

std::span<const std::uint8_t, kReceiveBufferSize> SensorLink::receiveBuffer() const {
  return rxBuffer_;
}

std::span<const std::uint8_t> SensorLink::responsePayload() const {
  return std::span<const std::uint8_t>(rxBuffer_).subspan(
      kHeaderSize, std::min<std::size_t>(responseLength_, kMaxResponsePayload));
}

}  // namespace drq
