#include "sim/SensorModel.h"

#include <algorithm>
#include <cmath>

#include "core/params/Modes.h"
#include "core/protocol/Crc8.h"
#include "sim/EepromImage.h"
#include "sim/Plausibility.h"
#include "sim/Text.h"

namespace drq::sim {

namespace {

constexpr std::uintmax_t kMaxEepromFileBytes = 1 << 20;
constexpr std::size_t kRowsPerBlock = kTeachRows / 2;
constexpr std::uint64_t kFirstWindowMicros = 200'000;  // min/max window before the first frame
constexpr std::size_t kMinMaxSamples = 32;
constexpr std::size_t kCalibrationSamples = 16;
constexpr std::uint64_t kMaxCatchUpEvents = 1000;
constexpr std::uint32_t kCycleWindowTenths = 80;  // order 105 counts cycles over 8.0 s

std::int16_t toWord(int v) {
  return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

std::uint16_t toUnsigned(int v) {
  return static_cast<std::uint16_t>(std::clamp(v, 0, 65535));
}

void putWord(std::vector<std::uint8_t>& out, std::uint16_t w) {
  out.push_back(static_cast<std::uint8_t>(w & 0xFF));
  out.push_back(static_cast<std::uint8_t>(w >> 8));
}

void putWord32(std::vector<std::uint8_t>& out, std::uint32_t w) {
  putWord(out, static_cast<std::uint16_t>(w & 0xFFFF));
  putWord(out, static_cast<std::uint16_t>(w >> 16));
}

bool wellFormed(std::span<const std::uint8_t> frame) {
  if (frame.size() < kHeaderSize) return false;
  const auto header = frame.first<kHeaderSize>();
  if (!headerIsValid(header)) return false;
  const FrameHeader h = decodeHeader(header);
  if (frame.size() != kHeaderSize + h.length) return false;
  return crc8(frame.subspan(kHeaderSize)) == h.payloadCrc;
}

std::vector<std::uint8_t> frameImage(const LiveFrame& f) {
  std::vector<std::uint8_t> out;
  out.reserve(kLiveFrameBytes);
  for (std::int16_t w : f.words) putWord(out, static_cast<std::uint16_t>(w));
  return out;
}

}  // namespace

SensorModel::SensorModel(std::uint64_t seed)
    : seed_(seed), dark_(darkLevels(seed)), path_(defaultTargetPath()) {
  ram_.fill(defaultParaSet());
  eeprom_.fill(defaultParaSet());
}

// ---------------------------------------------------------------------------
// Requests

std::vector<std::uint8_t> SensorModel::errorReport(std::uint16_t kind) {
  return buildFrame(kErrorReportOrder, kind, {});
}

Reply SensorModel::errorReply(std::uint16_t kind) {
  return Reply{errorReport(kind), std::nullopt, false};
}

Reply SensorModel::answer(std::uint8_t order, std::uint16_t argument,
                          std::span<const std::uint8_t> payload) const {
  Reply r;
  r.frame = buildFrame(order, argument, payload);
  return r;
}

Reply SensorModel::handleRequest(std::span<const std::uint8_t> frame) {
  if (!wellFormed(frame)) {
    ++corruptRequests_;
    return errorReply(kErrorCommunication);
  }
  const FrameHeader h = decodeHeader(frame.first<kHeaderSize>());
  const auto payload = frame.subspan(kHeaderSize);
  RequestRecord record;
  record.order = h.order;
  record.argument = h.argument;
  record.length = h.length;
  record.totalBytes = frame.size();
  record.payload.assign(payload.begin(), payload.end());
  record.timeMicros = nowMicros_;

  Reply reply = dispatch(h, payload);
  record.replyOrder = reply.frame[1];
  record.replyArgument = readLe16(reply.frame, 2);
  appendLog(std::move(record));
  return reply;
}

void SensorModel::logRefusedRequest(std::span<const std::uint8_t> frame, std::uint8_t replyOrder,
                                    std::uint16_t replyArgument) {
  if (!wellFormed(frame)) return;
  const FrameHeader h = decodeHeader(frame.first<kHeaderSize>());
  RequestRecord record;
  record.order = h.order;
  record.argument = h.argument;
  record.length = h.length;
  record.totalBytes = frame.size();
  record.payload.assign(frame.begin() + kHeaderSize, frame.end());
  record.timeMicros = nowMicros_;
  record.handled = false;
  record.replyOrder = replyOrder;
  record.replyArgument = replyArgument;
  appendLog(std::move(record));
}

void SensorModel::appendLog(RequestRecord record) {
  record.sequence = nextSequence_++;
  if (log_.size() >= kRequestLogLimit) log_.pop_front();
  log_.push_back(std::move(record));
}

void SensorModel::clearRequestLog() {
  log_.clear();
  nextSequence_ = 1;
  corruptRequests_ = 0;
}

Reply SensorModel::dispatch(const FrameHeader& h, std::span<const std::uint8_t> payload) {
  const auto refuse = [](std::uint16_t kind) { return errorReply(kind); };
  switch (h.order) {
    case ORDER_WRITE_PARA:
      return writePara(h.argument, payload);
    case ORDER_READ_PARA:
      return readPara(h.argument);
    case ORDER_STORE_EEPROM:
      eeprom_ = ram_;
      eepromBaudIndex_ = baudIndex_;
      persistEeprom();
      return answer(ORDER_STORE_EEPROM, 0);
    case ORDER_LOAD_EEPROM:
      return loadEeprom();
    case ORDER_IDENTIFY: {
      std::vector<std::uint8_t> text(kIdentificationBytes, 0);
      std::copy(identification_.begin(), identification_.end(), text.begin());
      return answer(ORDER_IDENTIFY, serial_, text);
    }
    case ORDER_GET_DATA:
      return answer(ORDER_GET_DATA, 0, frameImage(reportFrame(nowMicros_)));
    case ORDER_AUTO_SEND:
      return autoSend(h.argument);
    case ORDER_CALC_OFFSET:
      return calcOffset(h.argument);
    case ORDER_SEND_CALIB:
      return sendCalib(h.argument, payload);
    case ORDER_GET_CALIB: {
      std::vector<std::uint8_t> out;
      for (std::uint16_t w : calibration_.factors) putWord(out, w);
      for (std::uint16_t w : calibration_.offsets) putWord(out, w);
      return answer(ORDER_GET_CALIB, 0, out);
    }
    case ORDER_SELF_CALIBRATION:
      return selfCalibration();
    case ORDER_GET_CYCLE_TIME:
      return cycleTime();
    case ORDER_SCOPE:
      return scope(h.argument, payload);
    case ORDER_SET_BAUDRATE: {
      if (h.argument >= kBaudRates.size()) return refuse(kErrorUnknownOrder);
      Reply r = answer(ORDER_SET_BAUDRATE, 0);
      r.newBaudIndex = h.argument;
      baudIndex_ = h.argument;
      return r;
    }
    case ORDER_GET_HW_INFO:
      return hardwareInfo(h.argument);
    default:
      return refuse(kErrorUnknownOrder);
  }
}

Reply SensorModel::writePara(std::uint16_t block, std::span<const std::uint8_t> payload) {
  if (block > 5) return errorReply(kErrorUnknownOrder);
  const std::size_t expected = block < 2 ? kParaRecordBytes : kTeachBlockBytes;
  if (payload.size() != expected) return errorReply(kErrorCommunication);
  int corrected = 0;
  if (block < 2) {
    ParaRecord record;
    for (std::size_t i = 0; i < kParaRecordWords; ++i) record.words[i] = readLe16(payload, 2 * i);
    corrected = correctRecord(record);
    ram_[block].record = record;
  } else {
    ParaSet& set = ram_[static_cast<std::size_t>(block - 2) / 2];
    const std::size_t first = static_cast<std::size_t>((block - 2) % 2) * kRowsPerBlock;
    std::array<TeachVector, kRowsPerBlock> rows;
    for (std::size_t r = 0; r < kRowsPerBlock; ++r)
      for (std::size_t w = 0; w < kTeachVectorWords; ++w)
        rows[r].words[w] = readLe16(payload, r * kTeachVectorBytes + 2 * w);
    corrected = correctTeachRows(rows);
    std::copy(rows.begin(), rows.end(), set.table.begin() + static_cast<std::ptrdiff_t>(first));
  }
  return answer(ORDER_WRITE_PARA, static_cast<std::uint16_t>(corrected));
}

Reply SensorModel::readPara(std::uint16_t block) const {
  if (block > 5) return errorReply(kErrorUnknownOrder);
  std::vector<std::uint8_t> out;
  if (block < 2) {
    for (std::uint16_t w : ram_[block].record.words) putWord(out, w);
  } else {
    const ParaSet& set = ram_[static_cast<std::size_t>(block - 2) / 2];
    const std::size_t first = static_cast<std::size_t>((block - 2) % 2) * kRowsPerBlock;
    for (std::size_t r = first; r < first + kRowsPerBlock; ++r)
      for (std::uint16_t w : set.table[r].words) putWord(out, w);
  }
  return answer(ORDER_READ_PARA, 0, out);
}

Reply SensorModel::loadEeprom() {
  int corrected = 0;
  for (std::size_t s = 0; s < 2; ++s) {
    ParaSet set = eeprom_[s];
    corrected += correctParaSet(set);
    ram_[s] = set;
  }
  return answer(ORDER_LOAD_EEPROM, static_cast<std::uint16_t>(corrected));
}

Reply SensorModel::autoSend(std::uint16_t argument) {
  if (argument > 1) return errorReply(kErrorUnknownOrder);
  std::erase_if(pending_, [](const PushedFrame& f) { return f.stream == StreamKind::AutoSend; });
  autoSend_ = argument == 1;
  autoSequence_ = 0;
  autoNextMicros_ = nowMicros_ + autoPeriodMicros_;
  Reply r = answer(ORDER_AUTO_SEND, 0);
  r.streamStarted = autoSend_;
  return r;
}

Reply SensorModel::calcOffset(std::uint16_t argument) {
  if (argument != 1) return errorReply(kErrorUnknownOrder);
  // The receiver is covered: only the dark level and the noise remain.
  const std::uint64_t cycle = nowCycle();
  for (unsigned ch = 0; ch < 3; ++ch) {
    double sum = 0;
    for (std::size_t k = 0; k < kCalibrationSamples; ++k)
      sum += dark_[ch] + noise_ * unitNoise(seed_, cycle + k, ch);
    calibration_.offsets[ch] = toUnsigned(int(std::lround(sum / kCalibrationSamples)));
  }
  persistEeprom();
  return answer(ORDER_CALC_OFFSET, 0);
}

Reply SensorModel::sendCalib(std::uint16_t argument, std::span<const std::uint8_t> payload) {
  if (argument > 1) return errorReply(kErrorUnknownOrder);
  if (payload.size() != 6) return errorReply(kErrorCommunication);
  int corrected = 0;
  auto& target = argument == 0 ? calibration_.factors : calibration_.offsets;
  const std::uint16_t limit = argument == 0 ? kMaxCalibrationFactor : kMaxOffset;
  const std::uint16_t fallback = argument == 0 ? 1024 : 0;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    std::uint16_t v = readLe16(payload, 2 * ch);
    if (v > limit) {
      v = fallback;
      ++corrected;
    }
    target[ch] = v;
  }
  persistEeprom();
  return answer(ORDER_SEND_CALIB, static_cast<std::uint16_t>(corrected));
}

Reply SensorModel::selfCalibration() const {
  std::array<double, 3> sum{};
  const ParaSet& set = ram_[std::size_t(activeSetAt(nowMicros_))];
  for (std::size_t k = 0; k < kCalibrationSamples; ++k) {
    const Signals s = signalsAt(nowCycle() + k, set);
    for (std::size_t ch = 0; ch < 3; ++ch) sum[ch] += s.raw[ch];
  }
  std::vector<std::uint8_t> out;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    const double mean = std::max(1.0, std::floor(sum[ch] / kCalibrationSamples));
    const double factor = std::floor(double(kSelfCalibrationSetValue) * 1024.0 / mean);
    putWord(out, static_cast<std::uint16_t>(std::min<double>(factor, kMaxCalibrationFactor)));
  }
  putWord(out, kSelfCalibrationSetValue);
  putWord(out, kSelfCalibrationMaxDelta);
  return answer(ORDER_SELF_CALIBRATION, 0, out);
}

Reply SensorModel::cycleTime() const {
  // cycle time = A / (B * 0.01) ms with A the window in tenths of a second
  // and B the cycles counted in it.
  std::vector<std::uint8_t> out;
  putWord32(out, kCycleWindowTenths);
  putWord32(out, static_cast<std::uint32_t>(8'000'000 / cycleMicros_));
  return answer(ORDER_GET_CYCLE_TIME, 0, out);
}

Reply SensorModel::hardwareInfo(std::uint16_t guard) const {
  if (guard != kHwInfoGuard) return errorReply(kErrorUnknownOrder);
  std::array<std::uint16_t, kHwInfoBytes / 2> w{};
  w[0] = 1;  // layout of this block
  w[1] = serial_;
  w[2] = 0x0103;  // hardware revision
  w[3] = 12;      // converter bits
  w[4] = static_cast<std::uint16_t>(cycleMicros_);
  w[5] = static_cast<std::uint16_t>(baudIndex_);
  for (std::size_t ch = 0; ch < 3; ++ch) {
    w[6 + ch] = calibration_.factors[ch];
    w[9 + ch] = calibration_.offsets[ch];
    w[12 + ch] = static_cast<std::uint16_t>(dark_[ch]);
    w[15 + ch] = static_cast<std::uint16_t>(std::lround(kChannelSensitivity[ch] * 1000));
  }
  w[18] = static_cast<std::uint16_t>(temperatureAt(nowMicros_));
  const std::uint32_t seconds = static_cast<std::uint32_t>(nowMicros_ / 1'000'000);
  w[19] = static_cast<std::uint16_t>(seconds & 0xFFFF);
  w[20] = static_cast<std::uint16_t>(seconds >> 16);
  // Factory trim table.
  for (std::size_t i = 21; i + 1 < w.size(); ++i)
    w[i] = static_cast<std::uint16_t>(2048 +
                                      std::lround(400 * unitNoise(seed_, 0xC0FFEE, unsigned(i))));
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < w.size(); ++i) sum += w[i];
  w.back() = static_cast<std::uint16_t>(sum & 0xFFFF);
  std::vector<std::uint8_t> out;
  for (std::uint16_t v : w) putWord(out, v);
  return answer(ORDER_GET_HW_INFO, 0, out);
}

Reply SensorModel::scope(std::uint16_t argument, std::span<const std::uint8_t> payload) {
  if (argument > 1) return errorReply(kErrorUnknownOrder);
  std::erase_if(pending_, [](const PushedFrame& f) { return f.stream == StreamKind::Scope; });
  if (argument == 0) {
    scope_.reset();
    return answer(ORDER_SCOPE, 0);
  }
  if (payload.size() != 10) return errorReply(kErrorCommunication);
  ScopeSettings s;
  s.level = readLe16(payload, 0);
  s.mode = readLe16(payload, 2);
  const auto pre = static_cast<std::int16_t>(readLe16(payload, 4));
  const auto rate = static_cast<std::int16_t>(readLe16(payload, 6));
  s.signal = readLe16(payload, 8);
  if (s.mode > 4 || s.signal > 1) return errorReply(kErrorUnknownOrder);
  s.preTrigger = static_cast<std::uint16_t>(std::clamp<int>(pre, 0, kScopeSamples - 1));
  s.scanRate = static_cast<std::uint16_t>(std::max<int>(rate, 1));
  scope_.emplace(s, nowCycle() + 1);
  Reply r = answer(ORDER_SCOPE, 0);
  r.streamStarted = true;
  return r;
}

// ---------------------------------------------------------------------------
// EEPROM

bool SensorModel::attachEepromFile(const std::filesystem::path& file, std::string* error) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxEepromFileBytes) {
      if (error) *error = joinText(file.string(), ": not an EEPROM image");
      return false;
    }
    const auto bytes = readWholeFile(file);
    if (!bytes) {
      if (error) *error = joinText(file.string(), ": cannot be read");
      return false;
    }
    std::string why;
    const auto content = decodeEeprom(*bytes, &why);
    if (!content) {
      if (error) *error = joinText(file.string(), ": ", why);
      return false;
    }
    eeprom_ = content->sets;
    calibration_ = content->calibration;
    if (content->baudIndex < kBaudRates.size()) {
      baudIndex_ = content->baudIndex;
      eepromBaudIndex_ = content->baudIndex;
    }
    for (std::size_t s = 0; s < 2; ++s) {
      ram_[s] = eeprom_[s];
      correctParaSet(ram_[s]);
    }
  } else if (ec) {
    if (error) *error = joinText(file.string(), ": ", ec.message());
    return false;
  }
  eepromFile_ = file;
  return true;
}

void SensorModel::persistEeprom() {
  if (eepromFile_.empty()) return;
  EepromContent content;
  content.sets = eeprom_;
  content.calibration = calibration_;
  content.baudIndex = static_cast<std::uint16_t>(eepromBaudIndex_);
  std::string error;
  if (writeFileAtomically(eepromFile_, encodeEeprom(content), &error)) {
    lastEepromError_.clear();
  } else {
    lastEepromError_ = error;
    if (eepromErrorHandler_) eepromErrorHandler_(error);
  }
}

// ---------------------------------------------------------------------------
// Settings

void SensorModel::setCycleMicros(std::uint32_t micros) {
  cycleMicros_ = std::clamp<std::uint32_t>(micros, 50, 100'000);
}

void SensorModel::setAutoSendPeriodMs(std::uint32_t ms) {
  autoPeriodMicros_ = std::uint64_t(std::max<std::uint32_t>(ms, 1)) * 1000;
}

bool SensorModel::setIdentification(std::string_view text) {
  if (text.size() > kIdentificationBytes) return false;
  identification_ = text;
  return true;
}

void SensorModel::setBaudIndex(int index) {
  if (index >= 0 && index < int(kBaudRates.size())) baudIndex_ = index;
}

std::uint32_t SensorModel::baudRate(int index) {
  return static_cast<std::uint32_t>(baudRateForIndex(index));
}

void SensorModel::setScriptedFrames(std::vector<LiveFrame> frames) {
  script_ = std::move(frames);
  scriptIndex_ = 0;
}

int SensorModel::activeSetAt(std::uint64_t micros) const {
  return isMode(ram_[0].record[ParaWord::Trigger], TriggerMode::Para) && in0At(micros) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Measurement

SensorModel::Signals SensorModel::signalsAt(std::uint64_t cycle, const ParaSet& set) const {
  const ParaRecord& rec = set.record;
  const std::uint64_t micros = cycle * cycleMicros_;
  const auto refl = reflectanceAt(path_, micros);
  const double gain = gainFactor(rec[ParaWord::Gain]);
  const std::uint16_t ledMode = rec[ParaWord::LedMode];

  const int ambient =
      (isMode(ledMode, LedMode::Dc) || isMode(ledMode, LedMode::Off)) ? kAmbientCounts : 0;
  std::array<double, 3> full{};  // converter counts above dark at power 1000
  std::size_t brightest = 0;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    full[ch] = refl[ch] / 1000.0 * kFullScale * gain * kChannelSensitivity[ch];
    if (full[ch] > full[brightest]) brightest = ch;
  }
  Signals s;
  if (isMode(ledMode, LedMode::Off) ||
      (isMode(rec[ParaWord::Trigger], TriggerMode::Trans) && !in0At(micros))) {
    s.power = 0;
  } else if (isMode(rec[ParaWord::PowerMode], PowerMode::Dyn)) {
    // Tune the brightest channel into the middle of the dynamic window.
    const double centre = (rec[ParaWord::DynWinLo] + rec[ParaWord::DynWinHi]) / 2.0;
    const double above = centre - dark_[brightest] - ambient;
    s.power = full[brightest] > 0
                  ? std::clamp(int(std::lround(1000.0 * above / full[brightest])), 1, 1000)
                  : 1000;
  } else {
    s.power = std::min<int>(rec[ParaWord::Power], 1000);
  }
  const double smoothing =
      std::max<double>(rec[ParaWord::Average], 1) * std::max<double>(rec[ParaWord::Integral], 1);
  const double sigma = noise_ / std::sqrt(smoothing);
  for (unsigned ch = 0; ch < 3; ++ch) {
    const double v =
        dark_[ch] + ambient + full[ch] * s.power / 1000.0 + sigma * unitNoise(seed_, cycle, ch);
    s.adc[ch] = std::clamp(int(std::lround(v)), 0, kAdcMax);
    s.raw[ch] = std::max(0, s.adc[ch] - calibration_.offsets[ch]);
    s.calibrated[ch] = std::min(32767, s.raw[ch] * calibration_.factors[ch] / 1024);
  }
  return s;
}

SensorModel::Measurement SensorModel::measureAt(std::uint64_t micros) const {
  const std::uint64_t cycle = micros / cycleMicros_;
  const ParaSet& set = ram_[std::size_t(activeSetAt(micros))];
  const ParaRecord& rec = set.record;
  Measurement m;
  m.levels = signalsAt(cycle, set);
  const auto& cal = m.levels.calibrated;
  m.coords = computeCoordinates(cal[0], cal[1], cal[2], rec[ParaWord::CalculationMode]);
  m.intensityWord =
      isMode(rec[ParaWord::PowerMode], PowerMode::Dyn) ? m.levels.power : m.coords.intensity;
  m.eval = evaluate(rec, set.table, m.coords, cal);
  m.in0 = in0At(micros);
  switch (rec[ParaWord::Trigger]) {
    case code(TriggerMode::Cont):
      m.trigger = 1;
      break;  // CONT: always evaluating
    case code(TriggerMode::Self):
      m.trigger = m.eval.hitRow != 0 ? 1 : 0;
      break;  // SELF: while not colour 0
    default:
      m.trigger = m.in0 ? 1 : 0;
      break;  // EXT1..3, TRANS, PARA follow IN0
  }
  return m;
}

Evaluation SensorModel::heldEvaluation(const ParaSet& set, const Measurement& m) {
  const ParaRecord& rec = set.record;
  const std::uint16_t trigger = rec[ParaWord::Trigger];
  if (trigger < code(TriggerMode::Ext1) || trigger > code(TriggerMode::Ext3)) return m.eval;
  if (m.in0) {
    if (!holdWasHigh_) {
      holdCounts_.fill(0);
      holdLast_.reset();
    }
    holdWasHigh_ = true;
    if (m.eval.hitRow >= 0 && m.eval.hitRow < int(kTeachRows))
      ++holdCounts_[std::size_t(m.eval.hitRow)];
    holdLast_ = m.eval;
    return m.eval;
  }
  holdWasHigh_ = false;
  Evaluation fail;
  fail.outputs = outputBits(rec[ParaWord::DigitalOutmode], -1);
  if (trigger == 4 || !holdLast_) return fail;  // EXT3 holds the fail state
  if (trigger == 3) return *holdLast_;          // EXT2: the last colour
  // EXT1: the colour seen most often while IN0 was high.
  const auto most = std::max_element(holdCounts_.begin(), holdCounts_.end());
  if (*most == 0) return fail;
  Evaluation e;
  e.hitRow = int(most - holdCounts_.begin());
  e.color = e.hitRow;
  const bool groups = isMode(rec[ParaWord::ColorGroup], ColorGroupMode::On);
  if (groups) e.group = set.table[std::size_t(e.hitRow)].group();
  e.outputs = outputBits(rec[ParaWord::DigitalOutmode], groups ? e.group : e.hitRow);
  return e;
}

LiveFrame SensorModel::reportFrame(std::uint64_t micros) {
  // The first frame looks back over a short window; later ones over the time
  // since the previous frame (none when no time has passed).
  std::uint64_t from = micros > kFirstWindowMicros ? micros - kFirstWindowMicros : 0;
  if (lastReportMicros_) from = std::min(*lastReportMicros_, micros);
  lastReportMicros_ = micros;
  if (!script_.empty()) {
    const LiveFrame f = script_[scriptIndex_ % script_.size()];
    scriptIndex_ = (scriptIndex_ + 1) % script_.size();
    return f;
  }
  const ParaSet& set = ram_[std::size_t(activeSetAt(micros))];
  const Measurement m = measureAt(micros);
  const Evaluation e = heldEvaluation(set, m);

  LiveFrame f;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    f.words[std::size_t(ch)] = toWord(m.levels.calibrated[ch]);
    f.words[11 + std::size_t(ch)] = toWord(m.levels.raw[ch]);
  }
  f[FrameWord::X] = toWord(m.coords.x);
  f[FrameWord::Y] = toWord(m.coords.y);
  f[FrameWord::Int] = toWord(m.intensityWord);
  f[FrameWord::DeltaC] = toWord(e.deltaC);
  f[FrameWord::Color] = toWord(e.color);
  f[FrameWord::Group] = toWord(e.group);
  f[FrameWord::Trigger] = toWord(m.trigger);
  f[FrameWord::Temp] = toWord(temperatureAt(micros));

  // Minimum (words 14..16) and maximum (17..19) of the calibrated channels over
  // the cycles since the previous frame.
  std::array<int, 3> lo = m.levels.calibrated, hi = m.levels.calibrated;
  const std::uint64_t cycle = micros / cycleMicros_;
  const std::uint64_t span = cycle - std::min(cycle, from / cycleMicros_);
  const std::uint64_t samples = std::min<std::uint64_t>(span, kMinMaxSamples);
  for (std::uint64_t k = 1; k <= samples; ++k) {
    const std::uint64_t c = cycle - span * k / samples;
    const Signals s = signalsAt(c, ram_[std::size_t(activeSetAt(c * cycleMicros_))]);
    for (std::size_t ch = 0; ch < 3; ++ch) {
      lo[ch] = std::min(lo[ch], s.calibrated[ch]);
      hi[ch] = std::max(hi[ch], s.calibrated[ch]);
    }
  }
  for (std::size_t ch = 0; ch < 3; ++ch) {
    f.words[14 + std::size_t(ch)] = toWord(lo[ch]);
    f.words[17 + std::size_t(ch)] = toWord(hi[ch]);
  }
  return f;
}

// ---------------------------------------------------------------------------
// Time and streams

void SensorModel::advanceMicros(std::uint64_t micros) {
  nowMicros_ += micros;
  runAutoSend();
  runScope();
}

void SensorModel::queuePush(PushedFrame frame) {
  // Keep time order across both streams.
  auto at =
      std::upper_bound(pending_.begin(), pending_.end(), frame.timeMicros,
                       [](std::uint64_t t, const PushedFrame& f) { return t < f.timeMicros; });
  pending_.insert(at, std::move(frame));
}

void SensorModel::runAutoSend() {
  if (!autoSend_) return;
  if (autoNextMicros_ <= nowMicros_) {
    const std::uint64_t behind = (nowMicros_ - autoNextMicros_) / autoPeriodMicros_;
    if (behind > kMaxCatchUpEvents)
      autoNextMicros_ += (behind - kMaxCatchUpEvents) * autoPeriodMicros_;
  }
  while (autoNextMicros_ <= nowMicros_) {
    PushedFrame p;
    p.stream = StreamKind::AutoSend;
    p.startOrder = ORDER_AUTO_SEND;
    p.sequence = ++autoSequence_;
    p.timeMicros = autoNextMicros_;
    p.frame = buildFrame(ORDER_GET_DATA, static_cast<std::uint16_t>(p.sequence & 0xFFFF),
                         frameImage(reportFrame(autoNextMicros_)));
    queuePush(std::move(p));
    autoNextMicros_ += autoPeriodMicros_;
  }
}

ScopeInput SensorModel::scopeInput(std::uint64_t cycle, std::uint16_t signal) const {
  const Measurement m = measureAt(cycle * cycleMicros_);
  ScopeInput in;
  ScopeSample& s = in.sample;
  if (signal == 0) {
    for (std::size_t ch = 0; ch < 3; ++ch) s[std::size_t(ch)] = toUnsigned(m.levels.raw[ch]);
  } else {
    s[0] = toUnsigned(m.coords.x);
    s[1] = toUnsigned(m.coords.y);
    s[2] = toUnsigned(m.intensityWord);
  }
  s[3] = static_cast<std::uint16_t>((m.eval.outputs & 0x1F) | (m.in0 ? 0x20 : 0));
  in.hitRow = m.eval.hitRow;
  return in;
}

void SensorModel::runScope() {
  if (!scope_) return;
  const std::uint16_t signal = scope_->settings().signal;
  const bool complete =
      scope_->advance(nowCycle(), [&](std::uint64_t cycle) { return scopeInput(cycle, signal); });
  if (!complete) return;
  for (PushedFrame& frame : scope_->frames(cycleMicros_)) queuePush(std::move(frame));
  scope_.reset();
}

std::vector<PushedFrame> SensorModel::takePushedFrames() {
  std::vector<PushedFrame> out;
  out.swap(pending_);
  return out;
}

std::optional<std::uint64_t> SensorModel::nextDueMicros() const {
  std::optional<std::uint64_t> due;
  if (autoSend_) due = autoNextMicros_;
  if (scope_) {
    const std::uint64_t t = scope_->nextDueCycle() * cycleMicros_;
    due = due ? std::min(*due, t) : t;
  }
  return due;
}

void SensorModel::stopStreams() {
  autoSend_ = false;
  scope_.reset();
  pending_.clear();
}

}  // namespace drq::sim
