#include "sim/FaultRule.h"

#include <charconv>

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"
#include "sim/Text.h"

namespace drq::sim {

namespace {

std::optional<std::uint32_t> number(std::string_view s, std::uint32_t min, std::uint32_t max) {
  std::uint32_t v = 0;
  if (s.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v < min || v > max) return std::nullopt;
  return v;
}

struct KindName {
  std::string_view name;
  FaultKind kind;
};
constexpr KindName kKinds[] = {
    {"silent", FaultKind::Silent},
    {"header-bytes", FaultKind::HeaderBytes},
    {"bad-start", FaultKind::BadStart},
    {"bad-header-crc", FaultKind::BadHeaderCrc},
    {"bad-payload-crc", FaultKind::BadPayloadCrc},
    {"oversize", FaultKind::Oversize},
    {"delay", FaultKind::Delay},
    {"split", FaultKind::Split},
    {"close", FaultKind::Close},
    {"error", FaultKind::Error},
};

std::string_view kindName(FaultKind k) {
  for (const auto& n : kKinds)
    if (n.kind == k) return n.name;
  return "?";
}

bool parseKind(std::string_view text, FaultRule& rule, std::string& why) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t colon = text.find(':', at);
    parts.push_back(text.substr(at, colon == std::string_view::npos ? colon : colon - at));
    if (colon == std::string_view::npos) break;
    at = colon + 1;
  }
  const KindName* found = nullptr;
  for (const auto& n : kKinds)
    if (n.name == parts[0]) found = &n;
  if (!found) {
    why = joinText("unknown kind '", parts[0], "'");
    return false;
  }
  rule.kind = found->kind;
  auto arg = [&](std::size_t i, std::uint32_t min,
                 std::uint32_t max) -> std::optional<std::uint32_t> {
    const auto v = number(parts[i], min, max);
    if (!v) why = joinText("bad value '", parts[i], "' for kind ", parts[0]);
    return v;
  };
  auto count = [&](std::size_t min, std::size_t max) {
    if (parts.size() - 1 < min || parts.size() - 1 > max) {
      why = max == 0 ? joinText("kind ", parts[0], " takes no value")
                     : joinText("kind ", parts[0], " takes ", std::to_string(min), "..",
                                std::to_string(max), " values");
      return false;
    }
    return true;
  };
  switch (rule.kind) {
    case FaultKind::Silent:
    case FaultKind::BadStart:
    case FaultKind::BadHeaderCrc:
    case FaultKind::BadPayloadCrc:
    case FaultKind::Close:
      return count(0, 0);
    case FaultKind::HeaderBytes: {
      if (!count(1, 1)) return false;
      const auto v = arg(1, 0, 7);
      if (!v) return false;
      rule.value = *v;
      return true;
    }
    case FaultKind::Oversize: {
      if (!count(0, 1)) return false;
      rule.value = kDefaultOversize;
      if (parts.size() == 1) return true;
      const auto v = arg(1, 1, 65535);
      if (!v) return false;
      rule.value = *v;
      return true;
    }
    case FaultKind::Delay: {
      if (!count(1, 1)) return false;
      const auto v = arg(1, 0, 600000);
      if (!v) return false;
      rule.value = *v;
      return true;
    }
    case FaultKind::Split: {
      if (!count(1, 2)) return false;
      const auto v = arg(1, 1, 65535);
      if (!v) return false;
      rule.value = *v;
      rule.gapMs = kDefaultSplitGapMs;
      if (parts.size() == 3) {
        const auto g = arg(2, 0, 10000);
        if (!g) return false;
        rule.gapMs = *g;
      }
      return true;
    }
    case FaultKind::Error: {
      if (!count(1, 1)) return false;
      const auto v = arg(1, 0, 65535);
      if (!v) return false;
      rule.value = *v;
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<FaultRule> parseFaultRule(std::string_view text, std::string* error) {
  FaultRule rule;
  bool haveKind = false;
  std::vector<std::string_view> seen;
  std::string why;
  auto fail = [&](std::string reason) -> std::optional<FaultRule> {
    if (error) *error = joinText("fault rule '", text, "': ", reason);
    return std::nullopt;
  };
  if (text.empty()) return fail("empty");
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = text.substr(at, comma - at);
    at = comma + 1;
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return fail(joinText("'", item, "' is not key=value"));
    const std::string_view key = item.substr(0, eq);
    const std::string_view value = item.substr(eq + 1);
    for (std::string_view k : seen)
      if (k == key) return fail(joinText("'", key, "' given twice"));
    seen.push_back(key);
    auto bad = [&]() { return fail(joinText("bad value for ", key, ": '", value, "'")); };
    if (key == "order") {
      const auto v = number(value, 0, 255);
      if (!v) return bad();
      rule.order = static_cast<std::uint8_t>(*v);
    } else if (key == "index") {
      const auto v = number(value, 1, 0xFFFFFFFF);
      if (!v) return bad();
      rule.index = *v;
    } else if (key == "push") {
      if (value == "any") {
        rule.push = kPushAny;
      } else {
        const auto v = number(value, 1, 0xFFFFFFFF);
        if (!v) return bad();
        rule.push = *v;
      }
    } else if (key == "nth") {
      const auto v = number(value, 1, 0xFFFFFFFF);
      if (!v) return bad();
      rule.nth = *v;
    } else if (key == "times") {
      const auto v = number(value, 1, 0xFFFFFFFF);
      if (!v) return bad();
      rule.times = *v;
    } else if (key == "kind") {
      if (!parseKind(value, rule, why)) return fail(why);
      haveKind = true;
    } else {
      return fail(joinText("unknown key '", key, "'"));
    }
  }
  if (!haveKind) return fail("kind= is missing");
  if (rule.index && rule.push) return fail("index= and push= exclude each other");
  return rule;
}

std::optional<std::vector<FaultRule>> parseFaultRules(std::string_view text, std::string* error) {
  std::vector<FaultRule> rules;
  std::size_t lineNo = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    ++lineNo;
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
    if (line.empty() || line.front() == '#') continue;
    std::string why;
    auto rule = parseFaultRule(line, &why);
    if (!rule) {
      if (error) *error = joinText("line ", std::to_string(lineNo), ": ", why);
      return std::nullopt;
    }
    rules.push_back(*rule);
  }
  return rules;
}

std::string formatFaultRule(const FaultRule& r) {
  std::string s;
  auto add = [&](std::string item) {
    if (!s.empty()) s += ',';
    s += item;
  };
  if (r.order) add(joinText("order=", std::to_string(*r.order)));
  if (r.index) add(joinText("index=", std::to_string(*r.index)));
  if (r.push)
    add(*r.push == kPushAny ? std::string("push=any") : joinText("push=", std::to_string(*r.push)));
  if (r.nth != 1) add(joinText("nth=", std::to_string(r.nth)));
  if (r.times) add(joinText("times=", std::to_string(*r.times)));
  std::string kind = joinText("kind=", kindName(r.kind));
  switch (r.kind) {
    case FaultKind::HeaderBytes:
    case FaultKind::Oversize:
    case FaultKind::Delay:
    case FaultKind::Error:
      kind += joinText(":", std::to_string(r.value));
      break;
    case FaultKind::Split:
      kind += joinText(":", std::to_string(r.value), ":", std::to_string(r.gapMs));
      break;
    default:
      break;
  }
  add(kind);
  return s;
}

Transmission applyFault(const std::optional<FaultRule>& rule, std::vector<std::uint8_t> frame) {
  Transmission t;
  t.frameBytes = frame.size();
  if (!rule) {
    t.pieces.push_back(Piece{0, std::move(frame)});
    return t;
  }
  const bool hasHeader = frame.size() >= kHeaderSize;
  auto resealHeader = [&]() { frame[7] = crc8Update(frame, 0, 7, crc8Table()); };
  switch (rule->kind) {
    case FaultKind::Silent:
      return t;
    case FaultKind::HeaderBytes:
      frame.resize(std::min<std::size_t>(frame.size(), rule->value));
      break;
    case FaultKind::BadStart:
      if (hasHeader) {
        frame[0] = static_cast<std::uint8_t>(frame[0] ^ 0xFF);
        resealHeader();
      }
      break;
    case FaultKind::BadHeaderCrc:
      if (hasHeader) frame[7] = static_cast<std::uint8_t>(frame[7] ^ 0xFF);
      break;
    case FaultKind::BadPayloadCrc:
      if (hasHeader) {
        frame[6] = static_cast<std::uint8_t>(frame[6] ^ 0xFF);
        resealHeader();
      }
      break;
    case FaultKind::Oversize:
      if (hasHeader) {
        writeLe16(frame, 4, static_cast<std::uint16_t>(rule->value));
        resealHeader();
      }
      break;
    case FaultKind::Delay:
      t.pieces.push_back(Piece{rule->value, std::move(frame)});
      return t;
    case FaultKind::Split: {
      const std::size_t n = rule->value;
      for (std::size_t at = 0; at < frame.size(); at += n) {
        const std::size_t end = std::min(frame.size(), at + n);
        t.pieces.push_back(
            Piece{at == 0 ? 0 : rule->gapMs,
                  std::vector<std::uint8_t>(frame.begin() + static_cast<std::ptrdiff_t>(at),
                                            frame.begin() + static_cast<std::ptrdiff_t>(end))});
      }
      return t;
    }
    case FaultKind::Close:
      t.closeAfter = true;
      return t;
    case FaultKind::Error:
      frame = buildFrame(kErrorReportOrder, static_cast<std::uint16_t>(rule->value), {});
      break;
  }
  if (!frame.empty()) t.pieces.push_back(Piece{0, std::move(frame)});
  return t;
}

void FaultInjector::setRules(std::vector<FaultRule> rules) {
  rules_ = std::move(rules);
  matched_.assign(rules_.size(), 0);
  fired_.assign(rules_.size(), 0);
  requests_ = 0;
}

std::optional<FaultRule> FaultInjector::onRequest(std::uint8_t order) {
  ++requests_;
  return choose(false, order, requests_);
}

std::optional<FaultRule> FaultInjector::onPush(std::uint8_t startOrder, std::uint32_t sequence) {
  return choose(true, startOrder, sequence);
}

std::optional<FaultRule> FaultInjector::choose(bool push, std::uint8_t order,
                                               std::uint32_t number) {
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    const FaultRule& r = rules_[i];
    if (r.push.has_value() != push) continue;
    if (r.order && *r.order != order) continue;
    if (!push && r.index && *r.index != number) continue;
    if (push && *r.push != kPushAny && *r.push != number) continue;
    if (r.times && fired_[i] >= *r.times) continue;
    if (++matched_[i] % r.nth != 0) continue;
    ++fired_[i];
    return r;
  }
  return std::nullopt;
}

}  // namespace drq::sim
