#include "core/params/ParaFile.h"

#include "core/PopupTitles.h"
#include "core/files/FileWrite.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaNames.h"

namespace drq {
namespace {

constexpr std::size_t kStringBufferSize = 1024;

// Ini_GetInt into a 16-bit word: true when read (the value's low 16 bits
// stored), false when absent, blank or not an integer (`word` untouched). A
// value that does not fit the word is noted in `wide` (when given) at `where`.
bool getWord(ini::IniStore& store, std::string_view section, std::string_view key,
             std::uint16_t& word, std::vector<FiledValue>* wide, FiledValue where) {
  int value = 0;
  if (store.Ini_GetInt(section, key, value) != 1) return false;
  word = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
  if (wide != nullptr && (value < 0 || value > 0xFFFF)) {
    where.value = value;
    wide->push_back(where);
  }
  return true;
}

void addToList(MissingList& list, std::string_view heading, std::string_view name) {
  if (list.names.empty()) list.text = std::string(heading);
  list.names.emplace_back(name);
  list.text += name;
  list.text += '\n';
}

std::string getString(ini::IniStore& store, std::string_view key) {
  std::string out;
  if (store.Ini_GetStringIntoBuffer(kSectionGeneralInfo, key, out, kStringBufferSize) <= 0) {
    out.clear();
  }
  return out;
}

}  // namespace

void AppendParaToIniHandle(ini::IniStore& store, const ParaRecord& record) {
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    store.Ini_PutInt(kSectionParameter, kParaKeys[w], record.words[w]);
  }
}

void AppendTechVecToIniHandle(ini::IniStore& store, const TeachTable& table) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const std::string section = teachSectionName(row);
    const TeachVector& v = table[row];
    for (std::size_t c = 0; c < kTeachCells; ++c) store.Ini_PutInt(section, cellKey(c), v.cell(c));
    store.Ini_PutInt(section, kKeyGroupWritten, v.group());
    store.Ini_PutInt(section, kKeyHoldWritten, v.hold());
  }
}

MissingList AcquireParaFromIniHandle(ini::IniStore& store, ParaRecord& record,
                                     std::vector<FiledValue>* wide) {
  MissingList list;
  for (std::size_t w = 0; w < kParaRecordWords; ++w) {
    if (!getWord(store, kSectionParameter, kParaKeys[w], record.words[w], wide,
                 FiledValue{std::nullopt, w, 0})) {
      record.words[w] = kParaDefaults[w];
      addToList(list, kParaListHeading, paraListName(static_cast<ParaWord>(w)));
    }
  }
  return list;
}

MissingList AcquireTechVecFromIniHandle(ini::IniStore& store, TeachTable& table,
                                        std::vector<FiledValue>* wide) {
  MissingList list;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const std::string section = teachSectionName(row);
    TeachVector& v = table[row];
    const TeachVector defaults = defaultTeachVector();
    bool complete = true;
    const auto take = [&](std::string_view key, std::size_t word) {
      if (!getWord(store, section, key, v.words[word], wide, FiledValue{row, word, 0})) {
        v.words[word] = defaults.words[word];
        complete = false;
      }
    };
    for (std::size_t c = 0; c < kTeachCells; ++c) take(cellKey(c), c);
    take(kKeyGroup, kTeachGroupWord);
    take(kKeyHold, kTeachHoldWord);
    if (!complete) addToList(list, kTeachListHeading, section);
  }
  return list;
}

void fillParameterStore(ini::IniStore& store, const ParaSet& set) {
  store.Ini_PutString(kSectionGeneralInfo, kKeyFileType, kParameterFileType);
  store.Ini_PutString(kSectionGeneralInfo, kKeyScopeVersion, kScopeVersion);
  AppendParaToIniHandle(store, set.record);
  AppendTechVecToIniHandle(store, set.table);
}

files::FileWriteResult writeParameterFile(const std::filesystem::path& path, const ParaSet& set,
                                          ini::FileReplacer* replacer) {
  ini::IniStore store;
  fillParameterStore(store, set);
  return files::writeIniFile(path, store, replacer);
}

bool readCheckedToolFile(const std::filesystem::path& path, ini::IniStore& store,
                         std::string_view expectedType, std::string_view notThisType,
                         const ConfirmFn& confirm, FileHeaderCheck& check) {
  check.readStatus = store.Ini_ReadFromFile(path, check.readError);
  if (check.readStatus < 0) return false;
  check.fileType = getString(store, kKeyFileType);
  check.scopeVersion = getString(store, kKeyScopeVersion);
  check.typeOk = check.fileType == expectedType;
  check.versionOk = check.scopeVersion == kScopeVersion;
  const auto ask = [&confirm](std::string_view text) {
    return confirm && confirm(kTitleAttention, text);
  };
  if (!check.typeOk && !ask(notThisType)) return false;
  return check.versionOk || ask(kMsgVersionMismatch);
}

ParameterFileRead readParameterFile(const std::filesystem::path& path, ParaSet& set,
                                    const ConfirmFn& confirm) {
  ParameterFileRead result;
  ini::IniStore store;
  if (!readCheckedToolFile(path, store, kParameterFileType, kMsgNotParameterFile, confirm,
                           result)) {
    return result;
  }

  result.parameters = AcquireParaFromIniHandle(store, set.record, &result.wideValues);
  result.teachVectors = AcquireTechVecFromIniHandle(store, set.table, &result.wideValues);
  result.taken = true;
  return result;
}

}  // namespace drq
