#include "core/attrs/TableAttributesFile.h"

#include <new>

#include "core/ini/IniStore.h"

namespace drq::attrs {

void fillTableAttributesStore(ini::IniStore& store, const RowColorArray& colors,
                              const RowSpecifications& rowTexts) {
  store.Ini_PutString(kSectionGeneralInfo, kKeyFileType, kTableAttributesFileType);
  store.Ini_PutString(kSectionGeneralInfo, kKeyScopeVersion, kScopeVersion);
  AppendTableSetToIniHandle(store, colors, rowTexts);
}

files::FileWriteResult writeTableAttributesFile(const std::filesystem::path& path,
                                                const RowColorArray& colors,
                                                const RowSpecifications& rowTexts,
                                                ini::FileReplacer* replacer) {
  try {
    ini::IniStore store;
    fillTableAttributesStore(store, colors, rowTexts);
    return files::writeIniFile(path, store, replacer);
  } catch (const std::bad_alloc&) {
    return {ini::kIniOutOfMemory, std::make_error_code(std::errc::not_enough_memory)};
  }
}

TableAttributesRead readTableAttributesFile(const std::filesystem::path& path,
                                            RowColorArray& colors, RowSpecifications& rowTexts,
                                            const ConfirmFn& confirm) {
  TableAttributesRead result;
  ini::IniStore store;
  if (!readCheckedToolFile(path, store, kTableAttributesFileType, kMsgNotTableAttributesFile,
                           confirm, result)) {
    return result;
  }

  result.missingRows = AcquireTableSetFromIniHandle(store, colors, rowTexts);
  result.taken = true;
  return result;
}

void resetRowAttributes(RowColorArray& colors, RowSpecifications& rowTexts) {
  colors = defaultRowColors();
  for (std::string& text : rowTexts) text.clear();
}

}  // namespace drq::attrs
