#include "sim/SensorHost.h"

#include <algorithm>

#include "core/protocol/Frame.h"
#include "sim/SensorChannel.h"

namespace drq::sim {

namespace {
constexpr int kMinTimerMs = 2;
// While a capture waits for its trigger, look for it at this pace (the
// capture's frames still leave when its last sample is taken).
constexpr int kTriggerPollMs = 20;
}  // namespace

SensorHost::SensorHost(SensorModel& model, QObject* parent) : QObject(parent), model_(model) {
  wall_.start();
  modelBase_ = model_.nowMicros();
  pushTimer_.setSingleShot(true);
  pushTimer_.setTimerType(Qt::PreciseTimer);
  connect(&pushTimer_, &QTimer::timeout, this, &SensorHost::onPushTimer);
}

SensorHost::~SensorHost() = default;

void SensorHost::setFaultRules(std::vector<FaultRule> rules) {
  faults_.setRules(std::move(rules));
}

std::uint64_t SensorHost::wallMicros() const {
  return static_cast<std::uint64_t>(wall_.nsecsElapsed() / 1000);
}

void SensorHost::setClockMode(ClockMode mode) {
  if (mode == clockMode_) return;
  syncClock();
  clockMode_ = mode;
  wallBase_ = wallMicros();
  modelBase_ = model_.nowMicros();
  scheduleNextPush();
}

void SensorHost::syncClock() {
  if (clockMode_ != ClockMode::WallClock) return;
  const std::uint64_t target = modelBase_ + (wallMicros() - wallBase_);
  if (target > model_.nowMicros()) model_.advanceMicros(target - model_.nowMicros());
}

void SensorHost::advance(std::uint64_t micros) {
  model_.advanceMicros(micros);
  dispatchPushes();
  scheduleNextPush();
}

void SensorHost::attach(SensorChannel* channel) {
  channels_.push_back(channel);
}

void SensorHost::detach(SensorChannel* channel) {
  std::erase(channels_, channel);
  if (streamOwner_ == channel) {
    streamOwner_ = nullptr;
    model_.stopStreams();
    pushTimer_.stop();
  }
}

void SensorHost::deliverRequest(SensorChannel& from, std::span<const std::uint8_t> frame) {
  syncClock();
  dispatchPushes();  // frames that fell due before this request go out first
  const std::uint32_t baud = SensorModel::baudRate(model_.baudIndex());
  const std::uint8_t order = frame[1];
  const std::optional<FaultRule> rule = faults_.onRequest(order);
  if (rule && (rule->kind == FaultKind::Close || rule->kind == FaultKind::Error)) {
    const bool error = rule->kind == FaultKind::Error;
    model_.logRefusedRequest(frame, kErrorReportOrder,
                             error ? static_cast<std::uint16_t>(rule->value) : 0);
    from.send(applyFault(rule, {}), SensorChannel::Outgoing::Answer, baud);
  } else {
    Reply reply = model_.handleRequest(frame);
    if (reply.streamStarted) streamOwner_ = &from;
    from.send(applyFault(rule, std::move(reply.frame)), SensorChannel::Outgoing::Answer, baud);
  }
  if (!model_.requestLog().empty()) emit requestLogged(model_.requestLog().back());
  scheduleNextPush();
}

void SensorHost::deliverCorrupt(SensorChannel& from) {
  model_.noteCorruptRequest();
  from.send(applyFault(std::nullopt, SensorModel::errorReport(kErrorCommunication)),
            SensorChannel::Outgoing::Answer, SensorModel::baudRate(model_.baudIndex()));
}

void SensorHost::dispatchPushes() {
  if (!model_.hasPushedFrames()) return;
  const std::uint32_t baud = SensorModel::baudRate(model_.baudIndex());
  for (PushedFrame& p : model_.takePushedFrames()) {
    const std::optional<FaultRule> rule = faults_.onPush(p.startOrder, p.sequence);
    if (streamOwner_ && !streamOwner_->closed())
      streamOwner_->send(applyFault(rule, std::move(p.frame)), SensorChannel::Outgoing::Pushed,
                         baud);
  }
}

void SensorHost::scheduleNextPush() {
  if (clockMode_ != ClockMode::WallClock) {
    pushTimer_.stop();
    return;
  }
  const auto due = model_.nextDueMicros();
  if (!due) {
    pushTimer_.stop();
    return;
  }
  const std::uint64_t now = model_.nowMicros();
  const std::uint64_t waitMicros = *due > now ? *due - now : 0;
  int ms =
      static_cast<int>(std::clamp<std::uint64_t>((waitMicros + 999) / 1000, kMinTimerMs, 60'000));
  if (model_.scopeRunning() && !model_.scopeTriggered()) ms = std::max(ms, kTriggerPollMs);
  pushTimer_.start(ms);
}

void SensorHost::onPushTimer() {
  syncClock();
  dispatchPushes();
  scheduleNextPush();
}

}  // namespace drq::sim
