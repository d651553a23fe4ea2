#include "sim/SensorChannel.h"

#include <algorithm>

#include "sim/SensorHost.h"

namespace drq::sim {

SensorChannel::SensorChannel(SensorHost& host, QObject* parent) : QObject(parent), host_(host) {
  host_.attach(this);
  sendTimer_.setSingleShot(true);
  sendTimer_.setTimerType(Qt::PreciseTimer);
  connect(&sendTimer_, &QTimer::timeout, this, &SensorChannel::pump);
  stallTimer_.setSingleShot(true);
  connect(&stallTimer_, &QTimer::timeout, this, &SensorChannel::checkStall);
}

SensorChannel::~SensorChannel() {
  if (attached_) host_.detach(this);
}

void SensorChannel::markClosed() {
  closed_ = true;
  queue_.clear();
  sendTimer_.stop();
  stallTimer_.stop();
  if (attached_) {
    attached_ = false;
    host_.detach(this);
  }
}

void SensorChannel::receive(std::span<const std::uint8_t> bytes) {
  if (closed_) return;
  for (RequestFramer::Event& e : framer_.feed(bytes, host_.wallMicros())) {
    if (closed_) return;
    if (e.corruption == RequestFramer::Corruption::None)
      host_.deliverRequest(*this, e.frame);
    else
      host_.deliverCorrupt(*this);
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
    if (e.corruption != RequestFramer::Corruption::None) host_.deliverCorrupt(*this);
  }
  armStallTimer();
}

void SensorChannel::send(const Transmission& t, std::size_t requestBytes, std::uint32_t baudRate) {
  if (closed_) return;
  const std::uint64_t now = host_.wallMicros();
  std::uint64_t due = std::max(now, lastDueMicros_);
  if (host_.pacing() && baudRate > 0) {
    std::size_t bytes = requestBytes;
    for (const Piece& p : t.pieces) bytes += p.bytes.size();
    due += std::uint64_t(bytes) * 10 * 1'000'000 / baudRate;
  }
  for (const Piece& p : t.pieces) {
    due += std::uint64_t(p.delayMs) * 1000;
    queue_.push_back(Scheduled{due, p.bytes, false});
  }
  if (t.closeAfter) queue_.push_back(Scheduled{due, {}, true});
  if (!t.pieces.empty() || t.closeAfter) lastDueMicros_ = due;
  pump();
}

void SensorChannel::pump() {
  while (!queue_.empty() && !closed_) {
    const std::uint64_t now = host_.wallMicros();
    Scheduled& next = queue_.front();
    if (next.dueMicros > now) {
      sendTimer_.start(static_cast<int>((next.dueMicros - now + 999) / 1000));
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

}  // namespace drq::sim
