#include "core/scope/ScopeCapture.h"

#include <algorithm>

#include "core/protocol/Crc8.h"
#include "core/scope/ScopeMath.h"

namespace drq {

namespace {

constexpr std::uint16_t kScopeStart = 1;
constexpr std::uint16_t kScopeBreak = 0;

CaptureResult receiveSerial(SensorLink& link, const ScopeSettings& settings, ScopeState& state,
                            ScopeTraces& traces) {
  for (std::size_t k = 0; k < kScopeFrameCount; ++k) {
    switch (link.ReceivePushedFrame(state.captureRunning)) {
      case SensorLink::StreamResult::Frame:
        traces[k] =
            unwrapCapture(link.responsePayload(), settings.triggerMode, settings.preTrigger);
        break;
      case SensorLink::StreamResult::BadFrame:
        break;  // reported; this buffer keeps its trace
      case SensorLink::StreamResult::Stopped:
        return CaptureResult::Abandoned;
      case SensorLink::StreamResult::Failed:
        return CaptureResult::Failed;
    }
  }
  return CaptureResult::Captured;
}

CaptureResult receiveTcp(SensorLink& link, const ScopeSettings& settings, ScopeState& state,
                         ScopeTraces& traces) {
  switch (link.waitForReceived(kScopeStreamBytes, state.captureRunning)) {
    case SensorLink::StreamResult::Frame:
      break;
    case SensorLink::StreamResult::Stopped:
      return CaptureResult::Abandoned;
    default:
      return CaptureResult::Failed;
  }
  const auto buffer = link.receiveBuffer();
  for (std::size_t k = 0; k < kScopeFrameCount; ++k) {
    const std::size_t offset = kHeaderSize + k * kScopeFrameBytes;
    if (link.CheckHeaderCRC(offset) != 1) return CaptureResult::Failed;
    if (link.responseLength() == 0) {
      link.reportFailure(kMsgHeaderIncorrect);
      return CaptureResult::Failed;
    }
    const std::size_t payload = offset + kHeaderSize;
    if (crc8Update(buffer, payload, link.responseLength(), crc8Table()) !=
        link.responsePayloadCrc()) {
      link.reportFailure(kMsgDataIncorrect);
      return CaptureResult::Failed;
    }
    const std::size_t length = std::min<std::size_t>(link.responseLength(), kScopeFramePayload);
    traces[k] =
        unwrapCapture(buffer.subspan(payload, length), settings.triggerMode, settings.preTrigger);
  }
  return CaptureResult::Captured;
}

}  // namespace

int GetCycleTime(SensorLink& link, ScopeState& state) {
  state.cycleTime = 0.0;
  if (link.exchange(ORDER_GET_CYCLE_TIME, 0) != 1) return -1;
  if (link.responsePayload().size() < kCycleTimeBytes) {
    link.reportFailure(kMsgDataIncorrect);
    return -1;
  }
  state.cycleTime = cycleTimeFromPayload(link.responsePayload());
  return 1;
}

CaptureResult GetScopeData(SensorLink& link, const ScopeSettings& settings, ScopeState& state,
                           const std::function<void()>& started) {
  const auto request = encodeScopeSettings(settings);
  if (link.exchange(ORDER_SCOPE, kScopeStart, request) != 1) return CaptureResult::NotStarted;
  state.captureRunning.set(1);
  if (started) started();

  // Frames that fail on a serial link keep the previous capture's trace.
  ScopeTraces traces = state.traces;
  const Transport* transport = link.transport();
  const bool tcp = transport != nullptr && transport->kind() == TransportKind::Tcp;
  const CaptureResult result = tcp ? receiveTcp(link, settings, state, traces)
                                   : receiveSerial(link, settings, state, traces);
  state.captureRunning.clear();
  if (result == CaptureResult::Captured) {
    state.traces = traces;
    ++state.captures;
  }
  return result;
}

int BreakDataScan(SensorLink& link, ScopeState& state) {
  const int rc = link.exchange(ORDER_SCOPE, kScopeBreak);
  state.captureRunning.clear();
  return rc;
}

}  // namespace drq
