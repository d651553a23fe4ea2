#pragma once
// drqctl's parameter commands: identify, get-para, send-para, show-para and
// diff-para. Exit status: 0 success, 1 a link failure (or a file that could
// not be written), 2 a usage error or a file that cannot be used, 3 a sensor
// whose firmware does not match this tool. diff-para follows diff: 0 equal, 1
// different, 2 trouble, 3 firmware mismatch.

#include "cli/Commands.h"

namespace drq::cli {

inline constexpr int kExitFirmwareMismatch = 3;
inline constexpr int kExitDiffers = 1;
inline constexpr int kExitDiffTrouble = 2;

// Connects and identifies the sensor (the identification text goes into the
// session); refuses one whose firmware does not match, as the operator tool
// does: kExitOk, kExitLinkFailure or kExitFirmwareMismatch (text on stderr).
int connectChecked(CliContext& ctx);

// identify: the shown version and "SERIAL NUMBER: n".
int cmdIdentify(CliContext& ctx);
// get-para [--from ram|eeprom] [--set 0|1] [-o FILE]
int cmdGetPara(CliContext& ctx);
// send-para [--to ram|eeprom] [--set 0|1] [--force] [--as-is] FILE
int cmdSendPara(CliContext& ctx);
// show-para FILE
int cmdShowPara(CliContext& ctx);
// diff-para [--force] A B, each a parameter file or ram:S / eeprom:S
int cmdDiffPara(CliContext& ctx);

}  // namespace drq::cli
