#include "core/attrs/TableAttributesFile.h"

#include <cerrno>

#include "core/ini/FileReplacer.h"
#include "core/ini/IniStore.h"

namespace drq::attrs {

namespace {

constexpr std::size_t kStringBufferSize = 1024;

std::string generalInfo(ini::IniStore& store, std::string_view tag) {
  std::string out;
  if (store.Ini_GetStringIntoBuffer(kSectionGeneralInfo, tag, out, kStringBufferSize) != 1) {
    out.clear();
  }
  return out;
}

}  // namespace

void fillTableAttributesStore(ini::IniStore& store, const RowColorArray& colors,
                              const RowSpecifications& rowTexts) {
  store.Ini_PutString(kSectionGeneralInfo, kKeyFileType, kTableAttributesFileType);
  store.Ini_PutString(kSectionGeneralInfo, kKeyScopeVersion, kScopeVersion);
  AppendTableSetToIniHandle(store, colors, rowTexts);
}

FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                         const RowColorArray& colors,
                                         const RowSpecifications& rowTexts) {
  ini::DiskFileReplacer replacer;
  return writeTableAttributesFile(path, colors, rowTexts, replacer);
}

FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                         const RowColorArray& colors,
                                         const RowSpecifications& rowTexts,
                                         ini::FileReplacer& replacer) {
  FileWriteResult result;
  ini::ErrorKeepingReplacer keeping(replacer);
  try {
    ini::IniStore store;
    fillTableAttributesStore(store, colors, rowTexts);
    result.status = store.Ini_WriteToFile(path, keeping);
  } catch (const std::bad_alloc&) {
    result.status = ini::kIniOutOfMemory;
  }
  if (!result.ok()) {
    const int error = keeping.firstError() != 0               ? keeping.firstError()
                      : result.status == ini::kIniOutOfMemory ? ENOMEM
                                                              : 0;
    if (error != 0) result.reason = std::error_code(error, std::generic_category());
  }
  return result;
}

std::string writeFailureReason(const FileWriteResult& result) {
  if (result.ok()) return {};
  if (result.reason) return result.reason.message();
  return ini::iniWriteFailureReason(result.status);
}

TableAttributesRead readTableAttributesFile(const std::filesystem::path& path,
                                            RowColorArray& colors, RowSpecifications& rowTexts,
                                            const ConfirmFn& confirm) {
  TableAttributesRead result;
  ini::IniStore store;
  result.readStatus = store.Ini_ReadFromFile(path, result.readError);
  if (result.readStatus < 0) return result;
  result.fileType = generalInfo(store, kKeyFileType);
  result.scopeVersion = generalInfo(store, kKeyScopeVersion);
  result.typeOk = result.fileType == kTableAttributesFileType;
  result.versionOk = result.scopeVersion == kScopeVersion;

  const auto ask = [&confirm](std::string_view text) {
    return confirm && confirm(kAttentionTitle, text);
  };
  if (!result.typeOk && !ask(kMsgNotTableAttributesFile)) return result;
  if (!result.versionOk && !ask(kMsgVersionMismatch)) return result;

  result.missingRows = AcquireTableSetFromIniHandle(store, colors, rowTexts);
  result.taken = true;
  return result;
}

void resetRowAttributes(RowColorArray& colors, RowSpecifications& rowTexts) {
  colors = defaultRowColors();
  for (std::string& text : rowTexts) text.clear();
}

}  // namespace drq::attrs
