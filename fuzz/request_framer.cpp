// The virtual sensor's request framer: bytes in any pieces, at any pace.
// Every request it hands on is well formed, it never holds more than one
// request's bytes, and after a quiet line a good request always gets through.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"
#include "sim/RequestFramer.h"
#include "support/FuzzCheck.h"

namespace {

using drq::sim::RequestFramer;

void checkEvents(const std::vector<RequestFramer::Event>& events) {
  for (const auto& event : events) {
    if (event.corruption != RequestFramer::Corruption::None) {
      DRQ_FUZZ_CHECK(event.frame.empty());
      continue;
    }
    const auto& frame = event.frame;
    DRQ_FUZZ_CHECK(frame.size() >= drq::kHeaderSize);
    const std::span<const std::uint8_t, drq::kHeaderSize> header(frame.data(), drq::kHeaderSize);
    DRQ_FUZZ_CHECK(drq::headerIsValid(header));
    const drq::FrameHeader fields = drq::decodeHeader(header);
    DRQ_FUZZ_CHECK(fields.length <= drq::kMaxRequestPayload);
    DRQ_FUZZ_CHECK(frame.size() == drq::kHeaderSize + fields.length);
    DRQ_FUZZ_CHECK(drq::crc8(std::span(frame).subspan(drq::kHeaderSize)) == fields.payloadCrc);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  RequestFramer framer;
  std::uint64_t now = 0;
  while (input.remaining_bytes() > 0) {
    now += input.ConsumeIntegralInRange<std::uint32_t>(0, 2 * RequestFramer::kStallMicros);
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: {  // raw bytes
        const auto bytes =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 600));
        checkEvents(framer.feed(bytes, now));
        break;
      }
      case 1: {  // a good request, possibly damaged in one byte, in one piece
        const auto order = input.ConsumeIntegral<std::uint8_t>();
        const auto argument = input.ConsumeIntegral<std::uint16_t>();
        const auto payload = input.ConsumeBytes<std::uint8_t>(
            input.ConsumeIntegralInRange<std::size_t>(0, drq::kMaxRequestPayload));
        auto frame = drq::buildFrame(order, argument, payload);
        const bool damage = input.ConsumeBool();
        if (damage) {
          frame[input.ConsumeIntegralInRange<std::size_t>(0, frame.size() - 1)] ^=
              input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
        }
        checkEvents(framer.feed(frame, now));
        break;
      }
      case 2: {  // a good request after a long pause: it must get through
        now += RequestFramer::kStallMicros;
        const auto payload = input.ConsumeBytes<std::uint8_t>(
            input.ConsumeIntegralInRange<std::size_t>(0, drq::kMaxRequestPayload));
        const auto frame = drq::buildFrame(input.ConsumeIntegral<std::uint8_t>(),
                                           input.ConsumeIntegral<std::uint16_t>(), payload);
        const auto events = framer.feed(frame, now);
        checkEvents(events);
        DRQ_FUZZ_CHECK(!events.empty());
        DRQ_FUZZ_CHECK(events.back().corruption == RequestFramer::Corruption::None);
        DRQ_FUZZ_CHECK(events.back().frame == frame);
        DRQ_FUZZ_CHECK(framer.pendingBytes() == 0);
        break;
      }
      case 3: {  // the deadline passes: a stalled request or the end of a discard
        if (const auto due = framer.deadline()) {
          const auto events = framer.poll(std::max(now, *due));
          checkEvents(events);
          DRQ_FUZZ_CHECK(events.size() == 1);
          DRQ_FUZZ_CHECK(events.front().corruption != RequestFramer::Corruption::None);
          DRQ_FUZZ_CHECK(!framer.deadline().has_value());
          now = std::max(now, *due);
        }
        break;
      }
    }
    DRQ_FUZZ_CHECK(framer.pendingBytes() < drq::kHeaderSize + drq::kMaxRequestPayload);
  }
  return 0;
}
