#pragma once
// Program-wide state of one run of the tool, created by main() and passed by
// reference. Each module owns the members it writes.

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/attrs/RowColors.h"
#include "core/live/LiveFrame.h"
#include "core/live/LiveState.h"
#include "core/params/ParaSet.h"
#include "core/protocol/SensorLink.h"
#include "core/scope/ScopeTrace.h"
#include "core/util/Clock.h"
#include "core/util/ObservableFlag.h"

namespace drq {

// Transfer target of Send and Get.
enum class TransferTarget : std::uint16_t { Ram = 1, Eeprom = 2, File = 3 };

struct Session {
  SteadyClock clock;
  // 1 while an acquisition loop runs; cleared by anyone who wants it to end.
  ObservableFlag RunFlag;
  SensorLink link{RunFlag, clock};

  // The sensor: the ID text the operator gives it (at most 99 bytes) and the
  // identification text of its last ORDER_IDENTIFY answer (at most 72 bytes).
  std::string sensorId;
  std::string identification;

  // Parameter sets.
  ParaSet working;  // the working parameter set shared by panels, transfers and files
  TransferTarget target = TransferTarget::Ram;
  std::uint16_t selectedSet = 0;  // 0 or 1
  bool pendingSend = false;
  bool pendingGet = false;

  // Live monitoring.
  LiveFrame CurrentFrame;
  LiveState live;  // RawDelta, ColorPatch and the strip-chart windows

  // Scope: cycle time, capture-running flag and the last capture.
  ScopeState scope;

  // Table attributes.
  RowColorArray RowColors = defaultRowColors();

  // Files: the program directory and the remembered paths.
  std::filesystem::path programDir;
  std::filesystem::path parameterFile;
  std::filesystem::path recordFile;
  std::filesystem::path hardwareFile;
  std::filesystem::path tableAttributesFile;
};

}  // namespace drq
