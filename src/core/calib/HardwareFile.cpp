#include "core/calib/HardwareFile.h"

#include <algorithm>

#include "core/files/FileWrite.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaFile.h"
#include "core/platform/Platform.h"
#include "core/protocol/Frame.h"
#include "core/protocol/SensorLink.h"

namespace drq {
namespace {}  // namespace

HwInfoBlock hwInfoBlockOf(std::span<const std::uint8_t> payload) {
  HwInfoBlock block{};
  const std::size_t words = std::min(kHwInfoWords, payload.size() / 2);
  for (std::size_t i = 0; i < words; ++i) block[i] = readLe16(payload, 2 * i);
  return block;
}

std::string hwInfoDataString(const HwInfoBlock& block) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(4 * block.size());
  for (const std::uint16_t word : block) {
    for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(word >> shift) & 0xF];
  }
  return text;
}

int readHwInfoBlock(SensorLink& link, HwInfoBlock& out) {
  if (link.exchange(ORDER_GET_HW_INFO, kHwInfoGuard) != 1) return -1;
  out = hwInfoBlockOf(link.responsePayload());
  return 1;
}

void fillHardwareStore(ini::IniStore& store, const HardwareFileContent& content) {
  store.Ini_PutString(kSectionGeneralInfo, kKeyFileType, kHardwareFileType);
  store.Ini_PutString(kSectionGeneralInfo, kKeyScopeVersion, kFullScopeVersion);
  store.Ini_PutString(kSectionGeneralInfo, kKeyFirmwareVersion, content.identification);
  store.Ini_PutString(kSectionHardwareInfo, kKeyHardwareData, hwInfoDataString(content.block));
  for (std::size_t c = 0; c < kChannelKeys.size(); ++c) {
    store.Ini_PutInt(kSectionCalibrationFactor, kChannelKeys[c], content.factors[c]);
  }
  for (std::size_t c = 0; c < kChannelKeys.size(); ++c) {
    store.Ini_PutInt(kSectionOffset, kChannelKeys[c], content.offsets[c]);
  }
  AppendParaToIniHandle(store, content.set.record);
  AppendTechVecToIniHandle(store, content.set.table);
}

files::FileWriteResult writeHardwareFile(const std::filesystem::path& path,
                                         const HardwareFileContent& content,
                                         ini::FileReplacer* replacer) {
  ini::IniStore store;
  fillHardwareStore(store, content);
  return files::writeIniFile(path, store, replacer);
}

std::string hardwareFileMessage(const std::filesystem::path& path,
                                const files::FileWriteResult& result) {
  const std::string shown = platform::utf8FromPath(path);
  if (result.ok()) return std::string(kMsgHardwareFileSaved) + shown + "\n\n";
  return std::string(kMsgHardwareFileNotSaved) + shown + "\n" + files::failureReason(result) +
         "\n\n";
}

int GenerateHWInfoFile(Session& session, HardwareFileHost& host, ini::FileReplacer* replacer) {
  LinkState& state = session.link.state();
  state.linkUp = true;
  const TransferTarget target = session.target;
  HardwareFileContent content;
  session.target = TransferTarget::Ram;
  host.getPara(content.set);
  session.target = target;
  if (!state.linkUp) return -1;
  CalibrationValues calibration;
  host.getCF(calibration);
  if (!state.linkUp) return -1;
  content.factors = calibration.factors;
  content.offsets = calibration.offsets;
  readHwInfoBlock(session.link, content.block);
  if (!state.linkUp) return -1;

  const auto chosen = host.chooseFile(session.hardwareFile);
  if (!chosen || chosen->empty()) {
    host.appendMessage(kMsgNoHardwareFileSelected);
    return 0;
  }
  session.hardwareFile = *chosen;
  content.identification = session.identification;
  const files::FileWriteResult written = writeHardwareFile(session.hardwareFile, content, replacer);
  host.appendMessage(hardwareFileMessage(session.hardwareFile, written));
  return written.ok() ? 1 : -1;
}

}  // namespace drq
