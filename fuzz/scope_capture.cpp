// The scope: a capture's exchanges on a peer played by the fuzzer (the start's
// answer, the four capture frames pushed on a serial line or as one TCP block,
// frames damaged, missing or late, a break pressed during the endless wait,
// line errors and hang-ups), the cycle time's answer, and how a capture frame
// becomes the traces, the trace table and the cursor displays.
//
// Checked after every operation: the capture-running flag is down again, the
// traces change only with a complete capture, a start that fails is reported
// exactly once, and no wait runs for ever.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"
#include "core/scope/ScopeCapture.h"
#include "core/scope/ScopeMath.h"
#include "core/scope/ScopeTrace.h"
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
    // The peer's "Stop" is the end of a break: the capture-running flag goes down.
    actions.runFlag = &scope.captureRunning;
    actions.disconnect = [this] {
      if (scope.captureRunning.isSet() && input.ConsumeBool()) {
        // BREAK pressed during a capture's wait (the only time it can be
        // pressed): the break's exchange runs nested in the wait.
        const int r = BreakDataScan(link, scope);
        DRQ_FUZZ_CHECK(r == 1 || r == -1);
        DRQ_FUZZ_CHECK(scope.captureRunning.value() == 0);
      } else {
        link.setTransport(nullptr);
      }
    };
    link.setTransport(std::make_unique<fuzz::FuzzPeer>(input, clock, kind, std::move(actions)));
  }

  FuzzedDataProvider& input;
  fuzz::FakeClock clock;
  ObservableFlag run;
  SensorLink link{run, clock};
  CountingReport report;
  ScopeState scope;
};

ScopeSettings settingsFrom(FuzzedDataProvider& input) {
  ScopeSettings s;
  s.triggerLevel = input.ConsumeIntegral<std::uint16_t>();
  s.triggerMode = input.ConsumeIntegralInRange<std::uint16_t>(0, kScopeTriggerModes);
  s.preTrigger = input.ConsumeIntegral<std::int16_t>();
  s.scanRate = input.ConsumeIntegral<std::int16_t>();
  s.signal = input.ConsumeIntegralInRange<std::uint16_t>(0, 2);
  return s;
}

void checkTraceTable(const ScopeTraces& traces) {
  const std::string table = traceTable(traces);
  DRQ_FUZZ_CHECK(table.starts_with("index\tred\tgreen\tblue\tstates\n"));
  DRQ_FUZZ_CHECK(std::count(table.begin(), table.end(), '\n') == kScopeSamples + 1);
  DRQ_FUZZ_CHECK(std::count(table.begin(), table.end(), '\t') == 4 * (kScopeSamples + 1));
}

// A capture frame's payload as any frame may bring it, and the displays.
void decode(FuzzedDataProvider& input, const ScopeState& scope) {
  const auto mode = input.ConsumeIntegral<std::uint16_t>();
  const int preTrigger = input.ConsumeIntegral<std::int16_t>();
  const auto payload =
      input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 300));
  const ScopeTrace trace = unwrapCapture(payload, mode, preTrigger);
  if (payload.size() >= kScopeFramePayload && mode != 0) {
    // The sample at ring position p lands at trace position preTrigger.
    const std::size_t p =
        static_cast<std::size_t>(payload[256] | (payload[257] << 8)) % kScopeSamples;
    const auto at = static_cast<std::size_t>(((preTrigger % 128) + 128) % 128);
    DRQ_FUZZ_CHECK(trace[at] == (payload[2 * p] | (payload[2 * p + 1] << 8)));
  }
  for (const ScopeTrace& digital : digitalTraces(trace)) {
    for (std::size_t i = 0; i < kScopeSamples; ++i) DRQ_FUZZ_CHECK(digital[i] <= 11);
  }

  const auto bounded = [&input] { return input.ConsumeFloatingPointInRange(-1e6, 1e6); };
  const ScopeDeltas d = scopeDeltas({bounded(), bounded()}, {bounded(), bounded()}, scope.cycleTime,
                                    input.ConsumeIntegral<std::int16_t>());
  DRQ_FUZZ_CHECK(std::isfinite(d.deltaX) && d.samples >= 0 && d.deltaY >= 0);
  DRQ_FUZZ_CHECK(!deltaXText(d.deltaX).empty() && !deltaYText(d.deltaY).empty());
  DRQ_FUZZ_CHECK(!cycleTimeText(scope.cycleTime).empty());
  DRQ_FUZZ_CHECK(!scanFrequencyText(scope.cycleTime).empty());
}

void step(Harness& h) {
  const int before = h.report.failures;
  switch (h.input.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: {
      const int r = GetCycleTime(h.link, h.scope);
      checkOutcome(r, before, h.report);
      DRQ_FUZZ_CHECK(std::isfinite(h.scope.cycleTime));
      if (r == -1) DRQ_FUZZ_CHECK(h.scope.cycleTime == 0);
      break;
    }
    case 1: {
      const ScopeTraces previous = h.scope.traces;
      const std::uint64_t captures = h.scope.captures;
      bool started = false;
      const CaptureResult r = GetScopeData(h.link, settingsFrom(h.input), h.scope, [&] {
        DRQ_FUZZ_CHECK(h.scope.captureRunning.value() == 1);
        started = true;
      });
      DRQ_FUZZ_CHECK(h.scope.captureRunning.value() == 0);
      DRQ_FUZZ_CHECK(started == (r != CaptureResult::NotStarted));
      if (r == CaptureResult::Captured) {
        DRQ_FUZZ_CHECK(h.scope.captures == captures + 1);
      } else {
        DRQ_FUZZ_CHECK(h.scope.captures == captures);
        DRQ_FUZZ_CHECK(h.scope.traces == previous);
      }
      if (r == CaptureResult::NotStarted) DRQ_FUZZ_CHECK(h.report.failures - before == 1);
      checkTraceTable(h.scope.traces);
      break;
    }
    case 2: {
      const int r = BreakDataScan(h.link, h.scope);
      checkOutcome(r, before, h.report);
      DRQ_FUZZ_CHECK(h.scope.captureRunning.value() == 0);
      break;
    }
    case 3:
      decode(h.input, h.scope);
      break;
    case 4:  // the operator connects again
      if (h.input.ConsumeBool()) {
        h.connect(h.input.ConsumeBool() ? TransportKind::Tcp : TransportKind::Serial);
      } else {
        h.link.setTransport(nullptr);
      }
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Harness h(input);
  h.connect(input.ConsumeBool() ? TransportKind::Tcp : TransportKind::Serial);
  for (int n = 0; n < 32 && input.remaining_bytes() > 0; ++n) step(h);
  return 0;
}
