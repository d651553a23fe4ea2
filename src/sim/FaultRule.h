#pragma once
// Fault injection: rules that make the virtual sensor misbehave on chosen
// answers, for tests of the tool's failure handling.
//
// A rule is a comma-separated list of key=value items, no spaces:
//   order=N     only answers to requests with order code N (for pushed frames:
//               the order that started the stream, 30 or 110)
//   index=N     only the answer to the N-th well-formed request (1-based,
//               counted since the rules were set)
//   push=K      pushed frames instead of answers: the K-th frame of a stream
//               (1-based; scope frames are 1..4), or push=any
//   nth=N       only every N-th frame that matches the selectors above (default 1)
//   times=N     at most N times in all (default: no limit)
//   kind=KIND   what happens (required):
//     silent              nothing is sent
//     header-bytes:N      only the first N bytes (0..7) are sent
//     bad-start           the start byte becomes 0xAA (header CRC made to match,
//                         so only the start byte is wrong)
//     bad-header-crc      the header CRC is inverted
//     bad-payload-crc     the payload CRC byte is inverted (header CRC made to
//                         match), so only the payload check fails
//     oversize[:N]        the header announces N payload bytes (default 2041),
//                         with a matching header CRC; the real payload follows
//     delay:MS            sent MS milliseconds late
//     split:N[:MS]        sent in pieces of N bytes, MS ms apart (default 2)
//     close               the connection is closed instead of answering
//     error:N             an error report with argument N is sent instead
// Examples: "order=8,nth=3,kind=silent", "index=5,kind=header-bytes:7",
//           "order=110,push=2,kind=bad-payload-crc".
//
// The first rule that matches a frame applies. With `close` and `error` the
// request does not reach the sensor (it is logged as refused); with the others
// the sensor handles it and only its answer is damaged.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace drq::sim {

enum class FaultKind {
  Silent,
  HeaderBytes,
  BadStart,
  BadHeaderCrc,
  BadPayloadCrc,
  Oversize,
  Delay,
  Split,
  Close,
  Error,
};

inline constexpr std::uint32_t kPushAny = 0;
inline constexpr std::uint32_t kDefaultOversize = 2041;
inline constexpr std::uint32_t kDefaultSplitGapMs = 2;

struct FaultRule {
  std::optional<std::uint8_t> order;
  std::optional<std::uint32_t> index;
  std::optional<std::uint32_t> push;  // kPushAny or 1-based frame number; nullopt: answers
  std::uint32_t nth = 1;
  std::optional<std::uint32_t> times;
  FaultKind kind = FaultKind::Silent;
  std::uint32_t value = 0;  // header-bytes N, oversize N, delay MS, split N, error N
  std::uint32_t gapMs = 0;  // split gap
  bool operator==(const FaultRule&) const = default;
};

// nullopt with `error` set (a one-line reason) when the text is not a rule.
std::optional<FaultRule> parseFaultRule(std::string_view text, std::string* error);
// Rules from a file's text: one per line; empty lines and lines starting with
// '#' are skipped; CR LF, LF and CR line ends are accepted. The error names
// the line number.
std::optional<std::vector<FaultRule>> parseFaultRules(std::string_view text, std::string* error);
// The canonical text of a rule (parses back to the same rule).
std::string formatFaultRule(const FaultRule& rule);

// One piece of output: wait delayMs after the previous piece, then send bytes.
struct Piece {
  std::uint32_t delayMs = 0;
  std::vector<std::uint8_t> bytes;
};

// What goes on the wire for one frame.
struct Transmission {
  std::vector<Piece> pieces;
  bool closeAfter = false;     // close the connection after the pieces
  std::size_t frameBytes = 0;  // size of the undamaged frame (for wire pacing)
};

// The transmission of `frame` damaged by `rule` (or undamaged without one).
Transmission applyFault(const std::optional<FaultRule>& rule, std::vector<std::uint8_t> frame);

// Chooses the rule for each outgoing frame and keeps the counters.
class FaultInjector {
 public:
  void setRules(std::vector<FaultRule> rules);
  const std::vector<FaultRule>& rules() const { return rules_; }

  // For the answer to a well-formed request with `order`.
  std::optional<FaultRule> onRequest(std::uint8_t order);
  // For pushed frame number `sequence` of the stream started by `startOrder`.
  std::optional<FaultRule> onPush(std::uint8_t startOrder, std::uint32_t sequence);

  std::uint32_t requestCount() const { return requests_; }
  // How often rule i has fired.
  std::uint32_t fired(std::size_t i) const { return i < fired_.size() ? fired_[i] : 0; }

 private:
  std::optional<FaultRule> choose(bool push, std::uint8_t order, std::uint32_t sequence);

  std::vector<FaultRule> rules_;
  std::vector<std::uint32_t> matched_;
  std::vector<std::uint32_t> fired_;
  std::uint32_t requests_ = 0;
};

}  // namespace drq::sim
