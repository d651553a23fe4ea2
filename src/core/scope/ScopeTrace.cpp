#include "core/scope/ScopeTrace.h"

#include <algorithm>
#include <charconv>

namespace drq {

std::array<std::uint8_t, kScopeSettingsBytes> encodeScopeSettings(const ScopeSettings& settings) {
  std::array<std::uint8_t, kScopeSettingsBytes> bytes{};
  writeLe16(bytes, 0, settings.triggerLevel);
  writeLe16(bytes, 2, settings.triggerMode);
  writeLe16(bytes, 4, static_cast<std::uint16_t>(settings.preTrigger));
  writeLe16(bytes, 6, static_cast<std::uint16_t>(settings.scanRate));
  writeLe16(bytes, 8, settings.signal);
  return bytes;
}

std::size_t captureStart(std::uint16_t ringPosition, std::uint16_t triggerMode, int preTrigger) {
  if (triggerMode == 0) return 0;
  constexpr int n = static_cast<int>(kScopeSamples);
  // A modulo that stays in 0..127 also for a pre-trigger above p + 128.
  const int start = ((static_cast<int>(ringPosition) + n - preTrigger) % n + n) % n;
  return static_cast<std::size_t>(start);
}

ScopeTrace unwrapCapture(std::span<const std::uint8_t> payload, std::uint16_t triggerMode,
                         int preTrigger) {
  std::array<std::uint8_t, kScopeFramePayload> bytes{};
  std::copy_n(payload.begin(), std::min(payload.size(), bytes.size()), bytes.begin());
  const std::uint16_t p = readLe16(bytes, 2 * kScopeSamples);
  const std::size_t start = captureStart(p, triggerMode, preTrigger);
  ScopeTrace trace{};
  for (std::size_t i = 0; i < kScopeSamples; ++i) {
    trace[i] = readLe16(bytes, 2 * ((start + i) % kScopeSamples));
  }
  return trace;
}

std::array<ScopeTrace, kScopeDigitalSignals> digitalTraces(const ScopeTrace& states) {
  std::array<ScopeTrace, kScopeDigitalSignals> traces{};
  for (std::size_t bit = 0; bit < kScopeDigitalSignals; ++bit) {
    for (std::size_t i = 0; i < kScopeSamples; ++i) {
      const unsigned value = static_cast<unsigned>(states[i] >> bit) & 1u;
      traces[bit][i] = static_cast<std::uint16_t>(kScopeDigitalOffsets[bit] + value);
    }
  }
  return traces;
}

std::string traceTable(const ScopeTraces& traces) {
  std::string text = "index\tred\tgreen\tblue\tstates\n";
  text.reserve(text.size() + kScopeSamples * 30);
  char buf[8];
  const auto append = [&](unsigned value) {
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    text.append(buf, r.ptr);
  };
  for (std::size_t i = 0; i < kScopeSamples; ++i) {
    append(static_cast<unsigned>(i));
    for (const ScopeTrace& trace : traces) {
      text += '\t';
      append(trace[i]);
    }
    text += '\n';
  }
  return text;
}

files::FileWriteResult writeTraceFile(const std::filesystem::path& file, const ScopeTraces& traces,
                                      ini::FileReplacer* replacer) {
  return files::writeFile(file, traceTable(traces), replacer);
}

}  // namespace drq
