#include "core/calib/WhiteCalibration.h"

#include "core/PopupTitles.h"
#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"

namespace drq {
namespace {

bool connectionGone(SensorLink& link) {
  const Transport* transport = link.transport();
  return transport == nullptr || !transport->isOpen();
}

// The failed exchange got no answer in time (or the serial line failed).
bool answeredNothing(const SensorLink& link) {
  return link.state().errorText == kMsgTimeout;
}

}  // namespace

WhiteFrames collectWhiteFrames(SensorLink& link, LiveFrame& CurrentFrame, LiveState& live,
                               WhiteCalibrationHooks& hooks) {
  link.runFlag().clear();
  if (Transport* transport = link.transport();
      transport != nullptr && transport->kind() == TransportKind::Serial) {
    transport->flush();
  }

  WhiteFrames frames;
  std::size_t timeOutsInARow = 0;
  std::uint32_t colour = kBlinkGrey;
  for (std::size_t i = 0; i < kWhiteCalibrationFrames; ++i) {
    if (i % kBlinkInterval == 0) {
      colour = (i / kBlinkInterval) % 2 == 0 ? kBlinkRed : kBlinkGrey;
      hooks.blink(colour);
    }
    ++frames.exchanges;
    bool answered = link.exchange(ORDER_GET_DATA, 0) == 1;
    if (answered && link.responsePayload().size() < kLiveFrameBytes) {
      link.reportFailure(kMsgDataIncorrect);
      answered = false;
      timeOutsInARow = 0;
    } else if (!answered) {
      timeOutsInARow = answeredNothing(link) ? timeOutsInARow + 1 : 0;
      if (timeOutsInARow >= kStoppedAfterTimeOuts || connectionGone(link)) {
        frames.sensorStopped = true;
        break;
      }
    }
    if (!answered) continue;
    timeOutsInARow = 0;
    CurrentFrame = decodeLiveFrame(link.responsePayload());
    live.RawDelta = rawDeltaOf(CurrentFrame);
    const LiveFrame& f = CurrentFrame;
    frames.rawSums[0] += f[FrameWord::RawRed];
    frames.rawSums[1] += f[FrameWord::RawGreen];
    frames.rawSums[2] += f[FrameWord::RawBlue];
    frames.deltaSum += live.RawDelta;
    ++frames.goodFrames;
    hooks.frameDecoded();
  }
  if (colour != kBlinkGrey) hooks.blink(kBlinkGrey);
  return frames;
}

std::uint32_t factorFor(std::uint16_t setValue, std::int16_t mean) {
  const std::uint32_t divisor = mean < 1 ? 1u : static_cast<std::uint32_t>(mean);
  return (static_cast<std::uint32_t>(setValue) * 1024u) / divisor;
}

WhiteResult computeWhiteCalibration(const WhiteFrames& frames, std::uint16_t setValue,
                                    std::uint16_t maxDelta) {
  WhiteResult result;
  if (frames.goodFrames == 0) {
    result.outcome = WhiteOutcome::NoGoodFrames;
    return result;
  }
  if (frames.sensorStopped) {
    result.outcome = WhiteOutcome::SensorStopped;
    return result;
  }
  if (frames.goodFrames < kMinWhiteGoodFrames) {
    result.outcome = WhiteOutcome::TooFewGoodFrames;
    return result;
  }
  const auto count = static_cast<std::int32_t>(frames.goodFrames);
  for (std::size_t c = 0; c < 3; ++c) {
    result.means[c] = static_cast<std::int16_t>(frames.rawSums[c] / count);
  }
  result.meanDelta = static_cast<std::uint16_t>(frames.deltaSum / frames.goodFrames);
  if (result.meanDelta > maxDelta) {
    result.outcome = WhiteOutcome::DeltaTooHigh;
    return result;
  }
  bool inRange = true;
  for (std::size_t c = 0; c < 3; ++c) {
    result.quotients[c] = factorFor(setValue, result.means[c]);
    inRange = inRange && result.quotients[c] <= kMaxFactor;
  }
  if (!inRange) {
    result.outcome = WhiteOutcome::FactorOutOfRange;
    return result;
  }
  for (std::size_t c = 0; c < 3; ++c) {
    result.factors[c] = static_cast<std::uint16_t>(result.quotients[c]);
  }
  result.outcome = WhiteOutcome::Passed;
  return result;
}

std::string_view WhiteResult::title() const {
  return passed() ? kTitleCalibrationPassed : std::string_view(kTitleAttention);
}

std::string_view WhiteResult::message() const {
  switch (outcome) {
    case WhiteOutcome::Passed:
      return kMsgCalibrationPassed;
    case WhiteOutcome::NoGoodFrames:
      return kMsgNoGoodFrames;
    case WhiteOutcome::SensorStopped:
      return kMsgSensorStopped;
    case WhiteOutcome::TooFewGoodFrames:
      return kMsgTooFewGoodFrames;
    case WhiteOutcome::DeltaTooHigh:
      return kMsgDeltaTooHigh;
    case WhiteOutcome::FactorOutOfRange:
      return kMsgFactorOutOfRange;
  }
  return kMsgNoGoodFrames;
}

}  // namespace drq
