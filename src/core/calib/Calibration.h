#pragma once
// Calibration factors and dark offsets of the sensor's three raw channels.
//
// The sensor scales each raw channel (red, green, blue) by a factor CF:
// calibrated = raw * CF / 1024, so 1024 leaves a channel unchanged, and it
// subtracts a dark offset per channel. The orders here read and write them
// and let the sensor find them itself. Every operation returns 1 on success
// and -1 when an exchange failed; a failure has been reported through the
// link's failure report by then, and the outputs are left untouched.
//
// A response that carries fewer words than an order's answer needs changes
// nothing and is reported like a damaged payload ("ATTENTION! \nRECEIVED DATA
// FRAME IS INCORRECT!").

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace drq {

class SensorLink;

// Red, green, blue.
using ChannelWords = std::array<std::uint16_t, 3>;

inline constexpr std::uint16_t kNeutralFactor = 1024;
inline constexpr std::uint16_t kMaxFactor = 4096;
inline constexpr ChannelWords kNeutralFactors{kNeutralFactor, kNeutralFactor, kNeutralFactor};

// Arguments of ORDER_SEND_CALIB.
inline constexpr std::uint16_t kSendFactors = 0;
inline constexpr std::uint16_t kSendOffsets = 1;
// Argument of ORDER_CALC_OFFSET.
inline constexpr std::uint16_t kCalcOffsetArgument = 1;

// Bytes of the answers relied on: six words to ORDER_GET_CALIB, five to
// ORDER_SELF_CALIBRATION.
inline constexpr std::size_t kGetCalibBytes = 12;
inline constexpr std::size_t kSelfCalibrationBytes = 10;

// Popup texts of calibration (titles "ATTENTION!" unless given).
inline constexpr std::string_view kMsgConfirmSelfCalibration =
    "Confirm calibration factors with SEND CF.";
inline constexpr std::string_view kTitleCalculateOffset = "CALCULATE OFFSET";
inline constexpr std::string_view kMsgCoverReceiver =
    "Make sure, that the receiver of the sensor is covered!";

// What ORDER_GET_CALIB reports.
struct CalibrationValues {
  ChannelWords factors = kNeutralFactors;
  ChannelWords offsets{};
  bool operator==(const CalibrationValues&) const = default;
};

// What ORDER_SELF_CALIBRATION reports: the factors the sensor computed and
// the set value and maximum delta it used.
struct SelfCalibration {
  ChannelWords factors = kNeutralFactors;
  std::uint16_t setValue = 0;
  std::uint16_t maxDelta = 0;
  bool operator==(const SelfCalibration&) const = default;
};

// GetCF: ORDER_GET_CALIB (argument 0); the first six payload words are CF red,
// green, blue, offset red, green, blue.
int GetCF(SensorLink& link, CalibrationValues& out);

// SendCF / SendOffset: ORDER_SEND_CALIB with argument 0 (factors) or 1
// (offsets) and the three words as payload. A non-zero response argument n
// (values the sensor found implausible and replaced by its defaults) is
// posted as "INFO!\n" n " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND
// WERE SET TO DEFAULT VALUE!" through the failure report; the exchange itself
// still counts as a success (1).
int SendCF(SensorLink& link, const ChannelWords& factors);
int SendOffset(SensorLink& link, const ChannelWords& offsets);

// CalcOffset: ORDER_CALC_OFFSET (argument 1): the sensor measures its covered
// receiver and stores the offsets; then GetCF reads factors and offsets back
// into `out`. -1 when either exchange failed.
int CalcOffset(SensorLink& link, CalibrationValues& out);

// StartSelfCalibration: ORDER_SELF_CALIBRATION (argument 0); the first five
// payload words are CF red, green, blue, set value and maximum delta. Nothing
// is stored in the sensor.
int StartSelfCalibration(SensorLink& link, SelfCalibration& out);

}  // namespace drq
