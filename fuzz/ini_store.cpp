// The INI store's reader, and through it the readers of the panel settings
// file, of the parameter file and of the row attribute sections. Whatever a
// file holds, the readers must not fail, and what they took must survive the
// tool's own save and load unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/attrs/RowAttributeSections.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaFile.h"
#include "core/settings/PanelSettings.h"
#include "support/FuzzCheck.h"
#include "support/MemoryFile.h"

namespace {

using namespace drq;

const std::filesystem::path kProgramDir = "/opt/drq";

// Save and load through the tool's own writer and readers.
void checkPanelSettingsRoundTrip(fuzz::MemoryFile& file, const settings::PanelSettings& first,
                                 const settings::ConnectionSettings& connection) {
  const settings::WindowPlacement window = first.window.value_or(settings::WindowPlacement{});
  ini::IniStore out;
  settings::putPanelSettings(out, first, window, connection);
  fuzz::MemoryReplacer written;
  DRQ_FUZZ_CHECK(out.Ini_WriteToFile("PanelSettings.cfg", written) >= 0);

  file.assign(written.content);
  settings::PanelSettings second;
  DRQ_FUZZ_CHECK(settings::loadPanelSettingsFile(file.path(), kProgramDir, second));
  DRQ_FUZZ_CHECK(second.sensorId == first.sensorId);
  DRQ_FUZZ_CHECK(second.window == window);
  DRQ_FUZZ_CHECK(second.paths == first.paths);
  DRQ_FUZZ_CHECK(second.recentAddresses == first.recentAddresses);
  DRQ_FUZZ_CHECK(second.rowColors == first.rowColors);
  DRQ_FUZZ_CHECK(second.rowSpecs == first.rowSpecs);
  DRQ_FUZZ_CHECK(settings::readConnectionSettings(file.path()) == connection);
}

void checkParameterRoundTrip(fuzz::MemoryFile& file, const ParaSet& first) {
  ini::IniStore out;
  fillParameterStore(out, first);
  fuzz::MemoryReplacer written;
  DRQ_FUZZ_CHECK(out.Ini_WriteToFile("Parameter.ini", written) >= 0);

  file.assign(written.content);
  ParaSet second;
  int questions = 0;
  const ParameterFileRead read =
      readParameterFile(file.path(), second, [&](std::string_view, std::string_view) {
        ++questions;
        return true;
      });
  DRQ_FUZZ_CHECK(questions == 0 && read.taken);
  DRQ_FUZZ_CHECK(read.parameters.empty() && read.teachVectors.empty());
  DRQ_FUZZ_CHECK(second == first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file;
  file.assign(std::string_view(reinterpret_cast<const char*>(data), size));

  // The store alone, as the table attributes file is read.
  {
    ini::IniStore store;
    DRQ_FUZZ_CHECK(store.Ini_ReadFromFile(file.path()) == ini::kIniOk);
    RowColorArray colors = defaultRowColors();
    attrs::RowSpecifications texts;
    const auto missing = attrs::AcquireTableSetFromIniHandle(store, colors, texts);
    DRQ_FUZZ_CHECK(missing.size() <= kTeachRows);
    for (std::size_t row = 0; row < kTeachRows; ++row) {
      DRQ_FUZZ_CHECK(colors[row] <= 0xFFFFFFu);
      DRQ_FUZZ_CHECK(texts[row].size() <= attrs::kRowSpecificationMax);
    }
    (void)attrs::missingRowsReport(missing);
  }

  // The panel settings file.
  settings::PanelSettings panel;
  const bool used = settings::loadPanelSettingsFile(file.path(), kProgramDir, panel);
  const settings::ConnectionSettings connection = settings::readConnectionSettings(file.path());
  DRQ_FUZZ_CHECK(panel.sensorId.size() <= settings::kSensorIdMax);
  DRQ_FUZZ_CHECK(panel.recentAddresses.size() <= settings::kRecentAddressCount);
  DRQ_FUZZ_CHECK(connection.serverAddress.size() <= settings::kServerAddressMax);
  DRQ_FUZZ_CHECK(connection.portNumber.size() <= settings::kPortNumberMax);
  DRQ_FUZZ_CHECK(connection.comDevice.size() <= settings::kComDeviceMax);

  // The parameter file. The operator takes a file of another type or version
  // when the input's length is odd: reading every file whole would make each
  // run slow (a full file is some 30 000 name comparisons).
  ParaSet set;
  const bool proceed = size % 2 == 1;
  const ParameterFileRead para = readParameterFile(
      file.path(), set, [proceed](std::string_view, std::string_view) { return proceed; });
  DRQ_FUZZ_CHECK(para.taken == (proceed || (para.typeOk && para.versionOk)));
  DRQ_FUZZ_CHECK(para.parameters.names.size() <= kParaRecordWords);
  DRQ_FUZZ_CHECK(para.teachVectors.names.size() <= kTeachRows);

  // The save and load of a whole file costs more than all the reading before
  // it: one input in sixteen (by its length) gets it.
  if (size % 16 == 1) {
    if (used) checkPanelSettingsRoundTrip(file, panel, connection);
    if (para.taken && para.typeOk) checkParameterRoundTrip(file, set);
  }
  return 0;
}
