#include "core/calib/Calibration.h"

#include "core/params/ParaTransfer.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"

namespace drq {
namespace {

// The first `count` payload words of the last response, or false (reported
// as a damaged payload) when the sensor sent fewer.
template <std::size_t N>
bool takeWords(SensorLink& link, std::array<std::uint16_t, N>& words) {
  const auto payload = link.responsePayload();
  if (payload.size() < 2 * N) {
    link.reportFailure(kMsgDataIncorrect);
    return false;
  }
  for (std::size_t i = 0; i < N; ++i) words[i] = readLe16(payload, 2 * i);
  return true;
}

int sendWords(SensorLink& link, std::uint16_t argument, const ChannelWords& words) {
  std::array<std::uint8_t, 6> payload{};
  for (std::size_t i = 0; i < words.size(); ++i) writeLe16(payload, 2 * i, words[i]);
  if (link.exchange(ORDER_SEND_CALIB, argument, payload) != 1) return -1;
  if (const std::uint16_t count = link.responseArgument(); count != 0) {
    link.reportFailure(ramPlausibilityNotice(count));
  }
  return 1;
}

}  // namespace

int GetCF(SensorLink& link, CalibrationValues& out) {
  if (link.exchange(ORDER_GET_CALIB, 0) != 1) return -1;
  std::array<std::uint16_t, kGetCalibBytes / 2> words{};
  if (!takeWords(link, words)) return -1;
  out.factors = {words[0], words[1], words[2]};
  out.offsets = {words[3], words[4], words[5]};
  return 1;
}

int SendCF(SensorLink& link, const ChannelWords& factors) {
  return sendWords(link, kSendFactors, factors);
}

int SendOffset(SensorLink& link, const ChannelWords& offsets) {
  return sendWords(link, kSendOffsets, offsets);
}

int CalcOffset(SensorLink& link, CalibrationValues& out) {
  if (link.exchange(ORDER_CALC_OFFSET, kCalcOffsetArgument) != 1) return -1;
  return GetCF(link, out);
}

int StartSelfCalibration(SensorLink& link, SelfCalibration& out) {
  if (link.exchange(ORDER_SELF_CALIBRATION, 0) != 1) return -1;
  std::array<std::uint16_t, kSelfCalibrationBytes / 2> words{};
  if (!takeWords(link, words)) return -1;
  out.factors = {words[0], words[1], words[2]};
  out.setValue = words[3];
  out.maxDelta = words[4];
  return 1;
}

}  // namespace drq
