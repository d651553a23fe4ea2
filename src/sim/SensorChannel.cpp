#include "sim/SensorChannel.h"

#include <QSocketNotifier>

#include <algorithm>
#include <climits>

#if defined(Q_OS_LINUX)
#include <sys/timerfd.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>
#endif

#include "sim/SensorHost.h"

namespace drq::sim {

namespace {
constexpr std::uint64_t kBitsPerByte = 10;
constexpr std::uint64_t kMicrosPerSecond = 1'000'000;
}  // namespace

std::uint64_t WireTiming::span(std::size_t bytes, std::uint32_t baudRate) {
  if (baudRate == 0) return 0;
  const std::uint64_t bitMicros = std::uint64_t(bytes) * kBitsPerByte * kMicrosPerSecond;
  return (bitMicros + baudRate - 1) / baudRate;
}

std::uint64_t WireTiming::receive(std::uint64_t nowMicros, std::size_t bytes,
                                  std::uint32_t baudRate) {
  inboundEnd_ = std::max(nowMicros, inboundEnd_) + span(bytes, baudRate);
  return inboundEnd_;
}

std::uint64_t WireTiming::transmit(std::uint64_t startMicros, std::size_t bytes,
                                   std::uint32_t baudRate) {
  outboundEnd_ = std::max(startMicros, outboundEnd_) + span(bytes, baudRate);
  return outboundEnd_;
}

SensorChannel::SensorChannel(SensorHost& host, QObject* parent) : QObject(parent), host_(host) {
  host_.attach(this);
#if defined(Q_OS_LINUX)
  wakeFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (wakeFd_ >= 0) {
    wakeNotifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    connect(wakeNotifier_.get(), &QSocketNotifier::activated, this, &SensorChannel::onWakeFd);
  }
#endif
  sendTimer_.setSingleShot(true);
  sendTimer_.setTimerType(Qt::PreciseTimer);
  connect(&sendTimer_, &QTimer::timeout, this, &SensorChannel::pump);
  stallTimer_.setSingleShot(true);
  connect(&stallTimer_, &QTimer::timeout, this, &SensorChannel::checkStall);
}

SensorChannel::~SensorChannel() {
  wakeNotifier_.reset();
#if defined(Q_OS_LINUX)
  if (wakeFd_ >= 0) ::close(wakeFd_);
#endif
  if (attached_) host_.detach(this);
}

void SensorChannel::markClosed() {
  closed_ = true;
  queue_.clear();
  stopSendTimer();
  stallTimer_.stop();
  if (attached_) {
    attached_ = false;
    host_.detach(this);
  }
}

std::uint32_t SensorChannel::inboundBaudRate() {
  return host_.pacing() ? SensorModel::baudRate(host_.model().baudIndex()) : 0;
}

void SensorChannel::receive(std::span<const std::uint8_t> bytes) {
  if (closed_) return;
  const std::uint64_t now = host_.wallMicros();
  const std::uint32_t baud = inboundBaudRate();
  const std::uint64_t pieceStart = std::max(now, wire_.inboundEnd());
  wire_.receive(now, bytes.size(), baud);
  std::vector<RequestFramer::Event> events = framer_.feed(bytes, now);
  // A request ends, at the latest, before the requests completed after it and
  // the start of an incomplete one (stray bytes between them only make it end
  // earlier), so its answer never starts before its last byte could be in.
  std::size_t after = framer_.pendingBytes();
  for (const RequestFramer::Event& e : events)
    if (e.corruption == RequestFramer::Corruption::None) after += e.frame.size();
  for (RequestFramer::Event& e : events) {
    if (closed_) return;
    const bool wellFormed = e.corruption == RequestFramer::Corruption::None;
    if (wellFormed) after -= std::min(after, e.frame.size());
    answerStartMicros_ =
        pieceStart + WireTiming::span(bytes.size() - std::min(after, bytes.size()), baud);
    delivering_ = true;
    if (wellFormed)
      host_.deliverRequest(*this, e.frame);
    else
      host_.deliverCorrupt(*this);
    delivering_ = false;
  }
  armStallTimer();
}

void SensorChannel::armStallTimer() {
  if (closed_) return;
  const auto deadline = framer_.deadline();
  if (!deadline) {
    stallTimer_.stop();
    return;
  }
  const std::uint64_t now = host_.wallMicros();
  stallTimer_.start(static_cast<int>(*deadline > now ? (*deadline - now + 999) / 1000 : 0));
}

void SensorChannel::checkStall() {
  for (RequestFramer::Event& e : framer_.poll(host_.wallMicros())) {
    if (closed_) return;
    if (e.corruption == RequestFramer::Corruption::None) continue;
    answerStartMicros_ = std::max(host_.wallMicros(), wire_.inboundEnd());
    delivering_ = true;
    host_.deliverCorrupt(*this);
    delivering_ = false;
  }
  armStallTimer();
}

void SensorChannel::send(const Transmission& t, Outgoing kind, std::uint32_t baudRate) {
  if (closed_) return;
  const std::uint64_t now = host_.wallMicros();
  const std::uint32_t baud = host_.pacing() ? baudRate : 0;
  std::uint64_t at = now;
  if (kind == Outgoing::Answer)
    at = delivering_ ? answerStartMicros_ : std::max(now, wire_.inboundEnd());
  for (const Piece& p : t.pieces) {
    at = wire_.transmit(at + std::uint64_t(p.delayMs) * 1000, p.bytes.size(), baud);
    queue_.push_back(Scheduled{at, p.bytes, false});
  }
  if (t.closeAfter) queue_.push_back(Scheduled{wire_.transmit(at, 0, baud), {}, true});
  pump();
}

void SensorChannel::pump() {
  while (!queue_.empty() && !closed_) {
    const std::uint64_t now = host_.wallMicros();
    Scheduled& next = queue_.front();
    if (next.dueMicros > now) {
      armSendTimer(next.dueMicros, now);
      return;
    }
    if (next.close) {
      markClosed();
      hangUp();
      return;
    }
    const std::vector<std::uint8_t> bytes = std::move(next.bytes);
    queue_.pop_front();
    writeBytes(bytes);
  }
}

void SensorChannel::armSendTimer(std::uint64_t dueMicros, std::uint64_t nowMicros) {
  const std::uint64_t waitMicros = dueMicros - nowMicros;  // > 0
#if defined(Q_OS_LINUX)
  if (wakeFd_ >= 0) {
    // Relative to a clock reading taken before this call: it never fires early.
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(waitMicros / kMicrosPerSecond);
    when.it_value.tv_nsec = static_cast<long>(waitMicros % kMicrosPerSecond * 1000);
    if (::timerfd_settime(wakeFd_, 0, &when, nullptr) == 0) return;
  }
#endif
  sendTimer_.start(static_cast<int>(std::min<std::uint64_t>((waitMicros + 999) / 1000, INT_MAX)));
}

void SensorChannel::stopSendTimer() {
  sendTimer_.stop();
#if defined(Q_OS_LINUX)
  if (wakeFd_ >= 0) {
    const itimerspec off{};
    ::timerfd_settime(wakeFd_, 0, &off, nullptr);
  }
#endif
}

void SensorChannel::onWakeFd() {
#if defined(Q_OS_LINUX)
  std::uint64_t expirations = 0;
  while (::read(wakeFd_, &expirations, sizeof expirations) < 0 && errno == EINTR) {
  }
#endif
  pump();
}

}  // namespace drq::sim
