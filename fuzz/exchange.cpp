// The exchange engine's response handling, on a peer played by the fuzzer
// (serial or TCP): headers, lengths, CRCs, frames split and joined, pushed
// frames, line errors, hang-ups, an operator's Stop and Disconnect meanwhile,
// and what the tool makes of the answers (identification, parameter blocks,
// live frames and the graphs drawn from them).
//
// The engine's contract is checked after every operation: a failure is
// reported exactly once ("SERVER HAS CLOSED CONNECTION!" is the closed
// conversation's own report, and the RAM plausibility notice is a notice,
// not a failure), success reports nothing, and no wait runs for ever.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/connect/Identification.h"
#include "core/graph/GraphUpdate.h"
#include "core/graph/TeachFigures.h"
#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "core/params/ParaTransfer.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "support/CountingReport.h"
#include "support/FuzzCheck.h"
#include "support/FuzzPeer.h"

namespace {

using namespace drq;
using fuzz::checkOutcome;
using fuzz::CountingReport;

struct Harness {
  explicit Harness(FuzzedDataProvider& in) : input(in) { link.setFailureReport(&report); }

  void connect(TransportKind kind) {
    fuzz::OperatorActions actions;
    actions.runFlag = &run;
    actions.disconnect = [this] { link.setTransport(nullptr); };
    link.setTransport(std::make_unique<fuzz::FuzzPeer>(input, clock, kind, std::move(actions)));
  }

  FuzzedDataProvider& input;
  fuzz::FakeClock clock;
  ObservableFlag run;
  SensorLink link{run, clock};
  CountingReport report;
  ParaSet set;
  LiveState live;
  LiveFrame frame;
};

void showLiveFrame(Harness& h) {
  h.frame = decodeLiveFrame(h.link.responsePayload());
  updateLiveState(h.live, h.frame);
  const std::uint16_t mode = h.set.record[ParaWord::CalculationMode];
  const TeachFigureSet figures = buildTeachFigures(h.set.table, defaultRowColors(), mode);
  (void)graphUpdateFor(figures.bounds, h.frame, mode);
  (void)intensityBarCursor(mode, h.frame.words[5]);
  (void)intensityBandFor(h.set.table, mode, h.input.ConsumeIntegralInRange<int>(-1, 64));
}

void step(Harness& h) {
  const int before = h.report.failures;
  SensorLink& link = h.link;
  switch (h.input.ConsumeIntegralInRange<int>(0, 8)) {
    case 0: {  // any request
      const auto order = h.input.ConsumeIntegral<std::uint8_t>();
      const auto argument = h.input.ConsumeIntegral<std::uint16_t>();
      const auto payload =
          h.input.ConsumeBytes<std::uint8_t>(h.input.ConsumeIntegralInRange<std::size_t>(0, 40));
      const int r = link.exchange(order, argument, payload);
      checkOutcome(r, before, h.report);
      if (r == 1) DRQ_FUZZ_CHECK(link.responsePayload().size() == link.responseLength());
      break;
    }
    case 1: {  // one frame of the live loop
      h.run.set(1);
      const int r = link.exchange(ORDER_GET_DATA, 0);
      checkOutcome(r, before, h.report);
      if (r == 1) showLiveFrame(h);
      break;
    }
    case 2: {
      Identification id;
      checkOutcome(identifySensor(link, id), before, h.report);
      break;
    }
    case 3: {
      const auto target = h.input.ConsumeBool() ? TransferTarget::Eeprom : TransferTarget::Ram;
      checkOutcome(GetPara(link, h.set, target, h.input.ConsumeIntegral<std::uint16_t>(), {}),
                   before, h.report);
      break;
    }
    case 4: {
      const auto target = h.input.ConsumeBool() ? TransferTarget::Eeprom : TransferTarget::Ram;
      checkOutcome(SendPara(link, h.set, target, h.input.ConsumeIntegral<std::uint16_t>()), before,
                   h.report);
      break;
    }
    case 5: {  // a pushed frame of a stream
      h.run.set(1);
      const bool tcp =
          link.transport() != nullptr && link.transport()->kind() == TransportKind::Tcp;
      const auto r = link.ReceivePushedFrame(h.run);
      const int reported = h.report.failures - before;
      switch (r) {
        case SensorLink::StreamResult::Frame:
          DRQ_FUZZ_CHECK(reported == 0);
          showLiveFrame(h);
          break;
        case SensorLink::StreamResult::Stopped:
          DRQ_FUZZ_CHECK(reported == 0);
          break;
        case SensorLink::StreamResult::BadFrame:
          DRQ_FUZZ_CHECK(reported == 1);
          break;
        case SensorLink::StreamResult::Failed:
          // A closed conversation has been reported by its own report.
          DRQ_FUZZ_CHECK(reported == (tcp ? 0 : 1));
          break;
      }
      break;
    }
    case 6: {  // a block of a stream, counted from the start of the receive buffer
      h.run.set(1);
      const auto total = h.input.ConsumeIntegralInRange<std::size_t>(0, kReceiveBufferSize + 8);
      const auto r = link.waitForReceived(total, h.run);
      const int reported = h.report.failures - before;
      DRQ_FUZZ_CHECK(reported <= (r == SensorLink::StreamResult::Failed ? 1 : 0));
      break;
    }
    case 7: {  // a capture block checked in place
      const auto offset = h.input.ConsumeIntegralInRange<std::size_t>(0, kReceiveBufferSize + 8);
      checkOutcome(link.CheckHeaderCRC(offset), before, h.report);
      break;
    }
    case 8:  // the operator connects again
      if (h.input.ConsumeBool()) {
        h.connect(h.input.ConsumeBool() ? TransportKind::Tcp : TransportKind::Serial);
      } else {
        link.setTransport(nullptr);
      }
      break;
  }
  DRQ_FUZZ_CHECK(link.responsePayload().size() <= kMaxResponsePayload);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Harness h(input);
  h.connect(input.ConsumeBool() ? TransportKind::Tcp : TransportKind::Serial);
  // Bounded, so that one input cannot run for long.
  for (int n = 0; n < 64 && input.remaining_bytes() > 0; ++n) step(h);
  return 0;
}
