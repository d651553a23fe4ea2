#pragma once
// The virtual DRQ sensor: answers request frames as the sensor does, keeps two
// parameter sets in RAM and EEPROM, produces live frames from a target moving
// along a colour path, pushes frames for automatic sending and scope captures.
//
// Standard C++ only. Deterministic: the same seed, the same requests and the
// same time steps give the same bytes. Time is model time in microseconds and
// only moves when advanceMicros() is called (the servers drive it from a wall
// clock; tests drive it by hand). One measurement cycle lasts 500 us unless
// setCycleMicros() says otherwise.

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/live/LiveFrame.h"
#include "core/params/ParaSet.h"
#include "core/protocol/Frame.h"
#include "core/protocol/LinkSettings.h"
#include "sim/Evaluation.h"
#include "sim/InputSimulation.h"
#include "sim/Optics.h"
#include "sim/ScopeCapture.h"
#include "sim/SensorTypes.h"

namespace drq::sim {

inline constexpr std::string_view kDefaultIdentification = "VELMARON DRQ V1.0.3 B";
inline constexpr std::uint16_t kDefaultSerialNumber = 1001;
inline constexpr std::size_t kIdentificationBytes = 72;
inline constexpr std::uint32_t kDefaultCycleMicros = 500;
inline constexpr std::uint32_t kDefaultAutoSendPeriodMs = 200;
inline constexpr double kDefaultNoise = 4.0;  // converter counts, one standard deviation
inline constexpr std::uint16_t kSelfCalibrationSetValue = 1500;
inline constexpr std::uint16_t kSelfCalibrationMaxDelta = 400;
inline constexpr std::uint16_t kMaxCalibrationFactor = 4096;
inline constexpr std::uint16_t kMaxOffset = 1000;
inline constexpr std::size_t kHwInfoBytes = 512;
inline constexpr std::size_t kRequestLogLimit = 100000;

class SensorModel {
 public:
  explicit SensorModel(std::uint64_t seed = 1);

  // ---- Requests -----------------------------------------------------------
  // Handles one complete request frame (header + payload) and returns the
  // answer. A frame whose start byte, header CRC, length or payload CRC is
  // wrong is answered with error report 2 and not logged; an order the sensor
  // does not know, a block number above 5, a wrong hardware guard and other
  // arguments outside an order's range get error report 1; a payload of the
  // wrong length for the order gets error report 2.
  Reply handleRequest(std::span<const std::uint8_t> frame);

  // Logs a well-formed request that never reached the sensor (refused by fault
  // injection), with the answer that was given instead (order 0 and `kind` for
  // an error report; order 0 and argument 0 for no answer at all).
  void logRefusedRequest(std::span<const std::uint8_t> frame, std::uint8_t replyOrder,
                         std::uint16_t replyArgument);

  // Error report: order 0, argument `kind`, no payload.
  static std::vector<std::uint8_t> errorReport(std::uint16_t kind);
  // The error report as the answer to a request.
  static Reply errorReply(std::uint16_t kind);

  // Every well-formed request, oldest first (at most kRequestLogLimit).
  const std::deque<RequestRecord>& requestLog() const { return log_; }
  void clearRequestLog();
  // Requests answered with error report 2 because they arrived corrupt.
  std::uint64_t corruptRequestCount() const { return corruptRequests_; }
  void noteCorruptRequest() { ++corruptRequests_; }

  // ---- Time ---------------------------------------------------------------
  std::uint64_t nowMicros() const { return nowMicros_; }
  std::uint64_t nowCycle() const { return nowMicros_ / cycleMicros_; }
  // 50..100000 us; set it before the first advance.
  void setCycleMicros(std::uint32_t micros);
  // Moves model time on; automatic sending and a running scope capture produce
  // their frames for the time passed (see takePushedFrames()).
  void advanceMicros(std::uint64_t micros);
  // Frames that have become due, in time order; they are removed.
  std::vector<PushedFrame> takePushedFrames();
  bool hasPushedFrames() const { return !pending_.empty(); }
  // Model time at which the next pushed frame may become due (for a capture
  // still waiting for its trigger: the time of its next sample); nullopt when
  // no stream runs.
  std::optional<std::uint64_t> nextDueMicros() const;

  // ---- Streams ------------------------------------------------------------
  bool autoSending() const { return autoSend_; }
  // Period of the simulated trigger events of automatic sending (at least 1 ms).
  void setAutoSendPeriodMs(std::uint32_t ms);
  bool scopeRunning() const { return scope_.has_value(); }
  // True once the running capture has seen its trigger.
  bool scopeTriggered() const { return scope_ && scope_->triggered(); }
  // Stops automatic sending and abandons a capture; pending pushed frames are dropped.
  void stopStreams();

  // ---- Identity and line --------------------------------------------------
  // At most 72 bytes; false (and unchanged) for a longer text.
  bool setIdentification(std::string_view text);
  const std::string& identification() const { return identification_; }
  void setSerialNumber(std::uint16_t serial) { serial_ = serial; }
  std::uint16_t serialNumber() const { return serial_; }
  int baudIndex() const { return baudIndex_; }
  void setBaudIndex(int index);              // 0..7; others are ignored
  static std::uint32_t baudRate(int index);  // 115200 for an index outside 0..7

  // ---- Parameters and calibration -----------------------------------------
  const ParaSet& ramSet(int set) const { return ram_[index(set)]; }
  void setRamSet(int set, const ParaSet& values) { ram_[index(set)] = values; }
  const ParaSet& eepromSet(int set) const { return eeprom_[index(set)]; }
  void setEepromSet(int set, const ParaSet& values) { eeprom_[index(set)] = values; }
  // The set the sensor runs with: 0, or 1 while TRIGGER of set 0 is PARA and IN0 is high.
  int activeSetAt(std::uint64_t micros) const;
  const Calibration& calibration() const { return calibration_; }
  void setCalibration(const Calibration& c) { calibration_ = c; }

  // ---- EEPROM file ----------------------------------------------------------
  // Uses `file` as the EEPROM from now on. An existing file is loaded (EEPROM,
  // calibration and baud-rate index; RAM gets the EEPROM sets with the
  // plausibility correction, as at power-up); a missing one is created by the
  // next STORE. false with `error` set when the file exists but is not a valid
  // image; nothing is changed then.
  bool attachEepromFile(const std::filesystem::path& file, std::string* error);
  // Told when writing the EEPROM file fails (the sensor still answers normally).
  void setEepromErrorHandler(std::function<void(const std::string&)> handler) {
    eepromErrorHandler_ = std::move(handler);
  }
  const std::string& lastEepromError() const { return lastEepromError_; }

  // ---- Target, inputs, environment ---------------------------------------
  void setTargetPath(TargetPath path) { path_ = std::move(path); }
  void setTargetColor(TargetColor color) { path_ = TargetPath{{color}, 1000, 0}; }
  // Live frames (order 8 and automatic sending) come from this list in turn,
  // starting again after the last; an empty list returns to the target path.
  // Scope captures always use the target path.
  void setScriptedFrames(std::vector<LiveFrame> frames);
  // Noise of each channel in converter counts (standard deviation, 0 = none).
  void setNoise(double sigma) { noise_ = sigma < 0 ? 0 : sigma; }
  // IN0 and the temperature (InputSimulation): IN0 held at `high` from now
  // on, or a square wave; a fixed temperature or the drift.
  void setIn0(bool high) { inputs_.setIn0(high, nowMicros_); }
  void setIn0Pattern(std::uint32_t highMs, std::uint32_t lowMs) {
    inputs_.setIn0Pattern(highMs, lowMs);
  }
  bool in0At(std::uint64_t micros) const { return inputs_.in0At(micros); }
  void setTemperature(std::optional<int> celsius) { inputs_.setTemperature(celsius); }
  int temperatureAt(std::uint64_t micros) const { return inputs_.temperatureAt(micros); }

  // ---- Measurement ----------------------------------------------------------
  // The live frame at the current time, exactly as order 8 would answer it
  // (it also counts as reported: min/max tracking starts again after it).
  LiveFrame currentFrame() { return reportFrame(nowMicros_); }

  struct Signals {
    std::array<int, 3> adc{};         // converter value
    std::array<int, 3> raw{};         // converter value minus offset
    std::array<int, 3> calibrated{};  // raw * factor / 1024
    int power = 0;                    // transmitter power 0..1000
  };
  struct Measurement {
    Signals levels;
    Coordinates coords;
    int intensityWord = 0;  // word 5: INT/M, or the power in POWER MODE DYN
    Evaluation eval;
    bool in0 = false;
    int trigger = 0;
  };
  // The measurement of the cycle that contains `micros`, with no effect on state.
  Measurement measureAt(std::uint64_t micros) const;

 private:
  static std::size_t index(int set) { return set == 1 ? 1 : 0; }
  Reply dispatch(const FrameHeader& header, std::span<const std::uint8_t> payload);
  Reply answer(std::uint8_t order, std::uint16_t argument,
               std::span<const std::uint8_t> payload = {}) const;
  void appendLog(RequestRecord record);
  void persistEeprom();

  Reply writePara(std::uint16_t block, std::span<const std::uint8_t> payload);
  Reply readPara(std::uint16_t block) const;
  Reply loadEeprom();
  Reply autoSend(std::uint16_t argument);
  Reply calcOffset(std::uint16_t argument);
  Reply sendCalib(std::uint16_t argument, std::span<const std::uint8_t> payload);
  Reply selfCalibration() const;
  Reply cycleTime() const;
  Reply scope(std::uint16_t argument, std::span<const std::uint8_t> payload);
  Reply hardwareInfo(std::uint16_t guard) const;

  Signals signalsAt(std::uint64_t cycle, const ParaSet& set) const;
  LiveFrame reportFrame(std::uint64_t micros);
  Evaluation heldEvaluation(const ParaSet& set, const Measurement& m);
  void runAutoSend();
  void runScope();
  ScopeInput scopeInput(std::uint64_t cycle, std::uint16_t signal) const;
  void queuePush(PushedFrame frame);

  std::uint64_t seed_;
  std::array<int, 3> dark_;
  std::string identification_{kDefaultIdentification};
  std::uint16_t serial_ = kDefaultSerialNumber;
  int baudIndex_ = kDefaultBaudIndex;
  int eepromBaudIndex_ = kDefaultBaudIndex;

  std::array<ParaSet, 2> ram_;
  std::array<ParaSet, 2> eeprom_;
  Calibration calibration_;
  std::filesystem::path eepromFile_;
  std::string lastEepromError_;
  std::function<void(const std::string&)> eepromErrorHandler_;

  std::uint64_t nowMicros_ = 0;
  std::uint32_t cycleMicros_ = kDefaultCycleMicros;

  TargetPath path_;
  std::vector<LiveFrame> script_;
  std::size_t scriptIndex_ = 0;
  double noise_ = kDefaultNoise;
  InputSimulation inputs_;

  // Min/max tracking runs from the last reported frame to the next one.
  std::optional<std::uint64_t> lastReportMicros_;
  // External trigger hold (EXT1..EXT3): what was seen while IN0 was high.
  bool holdWasHigh_ = false;
  std::array<std::uint32_t, kTeachRows> holdCounts_{};
  std::optional<Evaluation> holdLast_;

  bool autoSend_ = false;
  std::uint64_t autoPeriodMicros_ = std::uint64_t(kDefaultAutoSendPeriodMs) * 1000;
  std::uint64_t autoNextMicros_ = 0;
  std::uint32_t autoSequence_ = 0;
  std::optional<ScopeCapture> scope_;
  std::vector<PushedFrame> pending_;

  std::deque<RequestRecord> log_;
  std::uint64_t nextSequence_ = 1;
  std::uint64_t corruptRequests_ = 0;
};

}  // namespace drq::sim
