#pragma once
// The live acquisition loop behind Go and Stop. It asks the sensor for one
// frame after the other, with no pause, until RunFlag is cleared (Stop, a
// page change, a link failure, ...). Between two frames it serves a Send or
// Get the operator pressed meanwhile, so that no two exchanges overlap.
//
// The loop knows nothing of panels: the GUI and the command-line tool plug in
// through LiveLoopHooks.

#include <cstdint>
#include <span>

#include "core/Session.h"

namespace drq {

class LiveLoopHooks {
 public:
  virtual ~LiveLoopHooks() = default;
  // The pending-send flag was set: read the panels into the working set and
  // send it (SendPara). Runs with the flag already cleared.
  virtual void sendPara() = 0;
  // The pending-get flag was set: read the parameters and refresh the panels
  // (GetPara). Runs with the flag already cleared.
  virtual void getPara() = 0;
  // A good frame has been stored in session.CurrentFrame and session.live
  // (acceptLiveFrame): show it (SetPanelCalibData, SetPanelData, ShowGraph).
  // May clear RunFlag to end the loop after this frame.
  virtual void frameDecoded() = 0;
};

// Stores the frame of a GET_DATA answer's payload (its first 40 bytes; missing
// bytes read as zeros) in CurrentFrame and updates RawDelta, ColorPatch and
// the strip-chart windows. Every loop that decodes live frames calls it.
void acceptLiveFrame(Session& session, std::span<const std::uint8_t> payload);

// The loop. Sets RunFlag to 1, then for each frame:
//  1. pending send: hooks.sendPara(); stop if RunFlag was cleared;
//     pending get: hooks.getPara(); stop if RunFlag is 0 now;
//  2. exchanges ORDER_GET_DATA, argument 0, no payload;
//  3. on success acceptLiveFrame + hooks.frameDecoded(); a failed exchange
//     (already reported by the link, which cleared RunFlag) leaves
//     CurrentFrame and the live state untouched and ends the loop;
//  4. goes on while RunFlag is 1.
// RunFlag is only looked at between exchanges: a Stop while the sensor is
// being waited for still lets the frame in flight be decoded and shown.
// Returns with RunFlag 0.
void GetData(Session& session, LiveLoopHooks& hooks);

}  // namespace drq
