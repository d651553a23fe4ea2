#pragma once
// The white calibration: the tool measures a white target 100 times, averages
// the raw channels (words 11 to 13 of the live frame) and their spread
// (RawDelta), and computes each factor so that the channel's mean becomes the
// operator's set value:
//
//   factor = (set value * 1024) / mean      (unsigned 32-bit, truncated)
//
// Example: set value 900 and means 800, 900, 1000 give 1152, 1024, 921.
//
// The means are taken over the good frames: answers that passed the link's
// checks and carry the whole 40-byte frame. A shorter answer (an error report
// the link lets pass, a cut payload) is a failed exchange, reported as a
// damaged data frame. A failed exchange adds nothing and the measurement goes
// on, but when the sensor has stopped answering (three time-outs in a row, or
// the connection closed) the remaining exchanges are not attempted: each
// would wait the full 3 s time-out. Damaged answers come from a sensor that
// answers; they never end the measurement early.
//
// The calibration is rejected when the sensor stopped answering, wherever in
// the 100 requests that happened, and when fewer than 90 good frames arrived,
// wherever the failures fell. No factors are computed then.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Session.h"
#include "core/calib/Calibration.h"

namespace drq {

inline constexpr std::size_t kWhiteCalibrationFrames = 100;
// The set values the window and drqctl accept for the white calibration (0
// would make factors that zero every channel).
inline constexpr std::uint16_t kMinWhiteSetValue = 1;
inline constexpr std::uint16_t kMaxWhiteSetValue = kMaxFactor;
// Time-outs in a row after which the sensor counts as no longer answering.
inline constexpr std::size_t kStoppedAfterTimeOuts = 3;
// Good frames a calibration needs; with fewer it is rejected.
inline constexpr std::size_t kMinWhiteGoodFrames = 90;

// The calculate button blinks while the frames are taken: its colour changes
// before every fifth frame, red first; it is left grey.
inline constexpr std::size_t kBlinkInterval = 5;
inline constexpr std::uint32_t kBlinkRed = 0xFF0000;
inline constexpr std::uint32_t kBlinkGrey = 0xE0E0E0;

// Questions and messages of the white calibration and the self-calibration.
inline constexpr std::string_view kTitleSendPower = "SEND POWER";
inline constexpr std::string_view kMsgSendPower =
    "Make sure, that the sensor shines on a WHITE target! \nSelect a proper POWER value that the "
    "RAW DATAS are within the dynamic range.  \nRepeat as long as the intensity for the RAW DATAS "
    "is NOT OK.";
inline constexpr std::string_view kTitleConfirmCalculation = "CONFIRM CALCULATION!";
inline constexpr std::string_view kMsgConfirmCalculation =
    "Are you sure, that you have selected the right calibration parameters? ";
// Shown under "INFO!" when the operator declines the calculation.
inline constexpr std::string_view kMsgCalculationDeclined =
    "Please insert the right values and press \n CALCULATE CALIBRATION FACTORS again.";
inline constexpr std::string_view kMsgDeltaTooHigh =
    "The maximum delta of the raw data values RED,GREEN and BLUE is to high. \nCalibration is not "
    "possible. \nVerify, that the sensor shines on a WHITE target! \nIncrease MAXIMUM DELTA OF RAW "
    "DATAS! ";
inline constexpr std::string_view kMsgFactorOutOfRange =
    "One of the calibration factor is out of range. \nCalibration is not possible. \nVerify, that "
    "the senor shines on a WHITE target! \nChoose a proper POWER value. ";
inline constexpr std::string_view kMsgNoGoodFrames =
    "No measurement could be read from the sensor. \nCalibration is not possible. \nCheck the "
    "connection to the sensor and calculate again! ";
inline constexpr std::string_view kMsgTooFewGoodFrames =
    "Too many answers of the sensor were damaged or missing. \nCalibration is not possible: it "
    "needs at least 90 good measurements of 100. \nCheck the connection to the sensor and "
    "calculate again! ";
inline constexpr std::string_view kMsgSensorStopped =
    "The sensor stopped answering during the measurement. \nCalibration is not possible. \nCheck "
    "the connection to the sensor and calculate again! ";
inline constexpr std::string_view kTitleCalibrationPassed = "CALIBRATION PASSED!";
inline constexpr std::string_view kMsgCalibrationPassed =
    "Calibration successful! \nCalibration factors were sent to the EEPROM of the sensor. \nGO "
    "mode will be activated. ";

// What the measurement loop reports to the page.
class WhiteCalibrationHooks {
 public:
  virtual ~WhiteCalibrationHooks() = default;
  // Colour (0xRRGGBB) of the calculate button; the change must be drawn now.
  virtual void blink(std::uint32_t rgb) = 0;
  // A frame was stored in CurrentFrame and RawDelta: show it
  // (SetPanelCalibData).
  virtual void frameDecoded() = 0;
};

// The sums of the measurement.
struct WhiteFrames {
  std::array<std::int32_t, 3> rawSums{};  // raw red, green, blue (signed)
  std::uint32_t deltaSum = 0;             // RawDelta
  std::size_t exchanges = 0;              // requests sent
  std::size_t goodFrames = 0;             // answers added to the sums
  // The sensor stopped answering (three time-outs in a row, or the
  // connection closed), also when that happened at the last requests.
  bool sensorStopped = false;
};

// The measurement: clears RunFlag (ending a live acquisition), flushes a
// serial port's queues, then exchanges ORDER_GET_DATA up to 100 times. Each
// good answer goes into CurrentFrame and RawDelta (nothing else of the live
// state) and into the sums, then hooks.frameDecoded(). Failed exchanges have
// been reported by the link (an answer shorter than 40 bytes is reported here
// as a damaged data frame); the loop goes on unless the sensor stopped
// answering. RunFlag is the link's.
WhiteFrames collectWhiteFrames(SensorLink& link, LiveFrame& CurrentFrame, LiveState& live,
                               WhiteCalibrationHooks& hooks);
// The same on the session's link, CurrentFrame and live state.
inline WhiteFrames collectWhiteFrames(Session& session, WhiteCalibrationHooks& hooks) {
  return collectWhiteFrames(session.link, session.CurrentFrame, session.live, hooks);
}

enum class WhiteOutcome {
  Passed,
  NoGoodFrames,
  SensorStopped,
  TooFewGoodFrames,
  DeltaTooHigh,
  FactorOutOfRange
};

struct WhiteResult {
  WhiteOutcome outcome = WhiteOutcome::NoGoodFrames;
  // Kept as 16-bit values, as the sensor's words are; valid for Passed,
  // DeltaTooHigh and FactorOutOfRange.
  std::array<std::int16_t, 3> means{};
  std::uint16_t meanDelta = 0;
  // The computed quotients; valid for Passed and FactorOutOfRange.
  std::array<std::uint32_t, 3> quotients{};
  // The new factors; valid for Passed.
  ChannelWords factors = kNeutralFactors;

  bool passed() const { return outcome == WhiteOutcome::Passed; }
  // Popup shown for the outcome: "CALIBRATION PASSED!" with its text, or
  // "ATTENTION!" with the reason nothing was computed or accepted.
  std::string_view title() const;
  std::string_view message() const;
};

// Factor for one channel: (setValue * 1024) / mean in unsigned 32-bit
// arithmetic. A mean below 1 (a dark channel; a negative raw mean is darker
// still) counts as 1, so such a channel is always out of range rather than
// given a factor of 0.
std::uint32_t factorFor(std::uint16_t setValue, std::int16_t mean);

// CalcCF's arithmetic: rejected without means when no good frame arrived,
// the sensor stopped answering or fewer than 90 good frames arrived; means =
// sums / good frames (truncated toward zero); a mean raw delta above maxDelta
// is rejected, then a quotient above 4096.
WhiteResult computeWhiteCalibration(const WhiteFrames& frames, std::uint16_t setValue,
                                    std::uint16_t maxDelta);

}  // namespace drq
