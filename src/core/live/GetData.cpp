#include "core/live/GetData.h"

#include "core/protocol/Frame.h"

namespace drq {

void acceptLiveFrame(Session& session, std::span<const std::uint8_t> payload) {
  session.CurrentFrame = decodeLiveFrame(payload);
  updateLiveState(session.live, session.CurrentFrame);
}

void GetData(Session& session, LiveLoopHooks& hooks) {
  ObservableFlag& run = session.RunFlag;
  run.set(1);
  while (run.isSet()) {
    if (session.pendingSend) {
      session.pendingSend = false;
      hooks.sendPara();
      if (!run.isSet()) break;
    }
    if (session.pendingGet) {
      session.pendingGet = false;
      hooks.getPara();
    }
    if (!run.isSet()) break;

    if (session.link.exchange(ORDER_GET_DATA, 0) != 1) break;
    acceptLiveFrame(session, session.link.responsePayload());
    hooks.frameDecoded();
  }
  // A failed exchange has cleared the flag already; make sure whatever ended
  // the loop leaves it cleared.
  run.clear();
}

}  // namespace drq
