#pragma once
// drqctl's calibration commands. Both identify the sensor first and refuse a
// firmware that does not match (exit 3).
//
//   calib get                      prints "factors=R G B" and "offsets=R G B"
//   calib send-factors R G B       ORDER_SEND_CALIB, argument 0 (0..4096)
//   calib send-offsets R G B       ORDER_SEND_CALIB, argument 1 (0..65535)
//                                  (a plausibility count is printed as the
//                                  sensor's INFO! text on stderr; exit 0)
//   calib white --set-value V --max-delta D
//                                  (V 1..4096, D 0..65535)
//                                  the white calibration over 100 frames:
//                                  prints "means=R G B" and "delta=N", then
//                                  "factors=R G B" and sends them (argument
//                                  0); a rejection prints its message on
//                                  stderr, sends nothing and exits 3; no
//                                  good frame, fewer than 90, or the sensor
//                                  stopped answering: the message, exit 1
//   calib self                     the sensor's self-calibration: prints
//                                  "factors=R G B", "set-value=V",
//                                  "max-delta=D" (nothing is stored)
//   calib offset                   ORDER_CALC_OFFSET, then as calib get
//
//   hwinfo [--set 0|1] [-o FILE]   the hardware information file (default
//                                  "HardwareInitialFile.ini"), byte for byte
//                                  as the operator tool writes it for the
//                                  same sensor, with RAM parameter set 0
//                                  unless --set 1; exit 1 when an exchange
//                                  or the write failed (why, on stderr)

#include "cli/Commands.h"

namespace drq::cli {

inline constexpr int kExitCalibrationRejected = 3;

int cmdCalib(CliContext& ctx);
int cmdHwInfo(CliContext& ctx);

}  // namespace drq::cli
