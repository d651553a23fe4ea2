#pragma once
// The scope capture's data: the five capture settings as the sensor takes
// them, the four trace buffers, and how a capture frame (the sensor's
// 128-sample ring buffer and the ring position p) becomes a trace.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "core/files/FileWrite.h"
#include "core/protocol/Frame.h"
#include "core/util/ObservableFlag.h"

namespace drq {

inline constexpr std::size_t kScopeSamples = 128;
// Payload of a capture frame: 128 sample words, then the ring position p.
inline constexpr std::size_t kScopeFramePayload = 2 * kScopeSamples + 2;           // 258
inline constexpr std::size_t kScopeFrameBytes = kHeaderSize + kScopeFramePayload;  // 266
inline constexpr std::size_t kScopeFrameCount = 4;
// What a TCP link delivers for one capture: the answer header of the start,
// then the four capture frames.
inline constexpr std::size_t kScopeStreamBytes =
    kHeaderSize + kScopeFrameCount * kScopeFrameBytes;  // 1072
inline constexpr std::size_t kScopeSettingsBytes = 10;
inline constexpr std::size_t kScopeDigitalSignals = 6;

// The trace buffers in the order the capture frames arrive.
enum ScopeBuffer : std::size_t {
  kScopeRed = 0,     // RED, X or s
  kScopeGreen = 1,   // GREEN, Y or i
  kScopeBlue = 2,    // BLUE, INT or M
  kScopeStates = 3,  // digital states, bits 0 to 5
};

// Trigger modes.
enum class ScopeTriggerMode : std::uint16_t {
  SingleShot = 0,
  RisingEdge = 1,   // the blue trace goes above the level
  FallingEdge = 2,  // the blue trace goes below the level
  ColorNo0 = 3,     // colour number 0 is detected
  ExternalIn0 = 4,  // IN0 goes high
};
inline constexpr std::uint16_t kScopeTriggerModes = 5;

// Capture settings, sent in this order as five little-endian words.
struct ScopeSettings {
  std::uint16_t triggerLevel = 2000;
  std::uint16_t triggerMode = 0;  // ScopeTriggerMode
  std::int16_t preTrigger = 0;    // samples before the trigger
  std::int16_t scanRate = 1;      // one sample every scanRate measurement cycles
  std::uint16_t signal = 0;       // 0 raw R G B; 1 calculated values (X Y INT or s i M)
};

std::array<std::uint8_t, kScopeSettingsBytes> encodeScopeSettings(const ScopeSettings& settings);

using ScopeTrace = std::array<std::uint16_t, kScopeSamples>;
using ScopeTraces = std::array<ScopeTrace, kScopeFrameCount>;

// Ring index of trace word 0: 0 in single-shot mode (the samples come in time
// order), otherwise (p + 128 - preTrigger) modulo 128, so that the sample at
// ring position p lands at trace position preTrigger. Any p and preTrigger
// give an index in 0..127.
std::size_t captureStart(std::uint16_t ringPosition, std::uint16_t triggerMode, int preTrigger);

// The trace of one capture frame's payload: trace word i = sample word
// (start + i) modulo 128. Payload bytes missing from a short frame read as
// zeros.
ScopeTrace unwrapCapture(std::span<const std::uint8_t> payload, std::uint16_t triggerMode,
                         int preTrigger);

// Offsets of the six digital traces on the digital graph, by bit: bit b of a
// states word is drawn at kScopeDigitalOffsets[b] + (bit value).
inline constexpr std::array<std::uint16_t, kScopeDigitalSignals> kScopeDigitalOffsets = {8, 6, 4,
                                                                                         2, 0, 10};

// The six digital traces of a states buffer, by bit.
std::array<ScopeTrace, kScopeDigitalSignals> digitalTraces(const ScopeTrace& states);

// What the scope keeps between captures.
struct ScopeState {
  // Measurement cycle time of the sensor, milliseconds; 0 until read.
  double cycleTime = 0;
  // 1 from the moment the sensor accepts a capture until it ends or a break.
  ObservableFlag captureRunning;
  // The last complete capture (all zeros before the first).
  ScopeTraces traces{};
  // Completed captures since start.
  std::uint64_t captures = 0;
};

// The trace table: "index\tred\tgreen\tblue\tstates", then one line per trace
// position 0..127 with the three traces and the states word, unsigned
// decimals, "\n" line ends.
std::string traceTable(const ScopeTraces& traces);

// Writes the trace table to `file`, replacing it whole (the old file survives
// a failure). `replacer` (tests) stands in for the disk.
files::FileWriteResult writeTraceFile(const std::filesystem::path& file, const ScopeTraces& traces,
                                      ini::FileReplacer* replacer = nullptr);

}  // namespace drq
