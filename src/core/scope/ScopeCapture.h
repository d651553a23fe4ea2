#pragma once
// The scope's exchanges with the sensor: reading the cycle time, one capture
// (start, the four capture frames, unwrapping) and the break.
//
// A capture has no time limit: the sensor sends its four frames when its
// trigger came and the 128 samples are taken, which may be never. The wait
// sleeps in the transport's event loop until bytes arrive, the capture-running
// flag is cleared (BreakDataScan, run from a callback nested inside the wait),
// or the line fails; it never polls.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/protocol/SensorLink.h"
#include "core/scope/ScopeTrace.h"

namespace drq {

// The two 32-bit counters A and B of the ORDER_GET_CYCLE_TIME answer.
inline constexpr std::size_t kCycleTimeBytes = 8;

// GetCycleTime: ORDER_GET_CYCLE_TIME, argument 0. On success the cycle time
// becomes A / (B * 0.01) ms (cycleTimeFromPayload); on failure (reported by
// the link; an answer shorter than the two counters is reported as a damaged
// data frame) it becomes 0. Returns 1 or -1.
int GetCycleTime(SensorLink& link, ScopeState& state);

enum class CaptureResult {
  Captured,    // all four frames were received; state.traces holds the capture
  NotStarted,  // the start exchange failed (reported by the link)
  Abandoned,   // the capture-running flag was cleared (a break); nothing reported
  Failed,      // a line error, a closed connection or a bad TCP block (reported)
};

// GetScopeData: sends ORDER_SCOPE, argument 1, with the settings; when the
// sensor accepts, sets the capture-running flag, calls `started` (the GUI
// undims the break button there) and receives the four capture frames, frame
// k into trace buffer k, unwrapped by the ring position and the pre-trigger
// (unwrapCapture):
//  - serial: frame by frame (SensorLink::ReceivePushedFrame). A frame that
//    fails its checks has been reported by the link; its buffer keeps the
//    previous capture's trace and the next frame is awaited;
//  - TCP: until the receive buffer holds the start's answer and the four
//    266-byte frames (1072 bytes), then each block's header (CheckHeaderCRC,
//    and a payload must be announced: else "ATTENTION! \nRECEIVED HEADER FRAME
//    IS INCORRECT!") and payload CRC ("ATTENTION! \nRECEIVED DATA FRAME IS
//    INCORRECT!"); any bad block fails the capture.
// The traces reach state.traces only when the capture is complete, so an
// abandoned or failed capture leaves the previous one whole. The flag is 0
// again when this returns.
CaptureResult GetScopeData(SensorLink& link, const ScopeSettings& settings, ScopeState& state,
                           const std::function<void()>& started = {});

// BreakDataScan: ORDER_SCOPE, argument 0 (the sensor abandons the capture;
// the answer is awaited but not used), then clears the capture-running flag,
// which ends a running capture's wait. Returns the exchange's result.
int BreakDataScan(SensorLink& link, ScopeState& state);

}  // namespace drq
