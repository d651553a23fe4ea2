#include "core/attrs/RowAttributeSections.h"

#include "core/settings/TextCut.h"

namespace drq::attrs {

namespace {
// Texts are read whole (up to this size) and then cut on a character boundary.
constexpr std::size_t kReadBufferSize = 4096;
}  // namespace

std::string rowSectionName(std::size_t row) {
  return std::string(kRowSectionPrefix) + std::to_string(row);
}

void AppendTableSetToIniHandle(ini::IniStore& store, const RowColorArray& colors,
                               const RowSpecifications& rowTexts) {
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const std::string section = rowSectionName(row);
    store.Ini_PutInt(section, kRowColorTag, static_cast<std::int32_t>(colors[row] & 0xFFFFFFu));
    store.Ini_PutString(section, kRowSpecificationTag, rowTexts[row]);
  }
}

std::vector<std::size_t> AcquireTableSetFromIniHandle(ini::IniStore& store, RowColorArray& colors,
                                                      RowSpecifications& rowTexts) {
  std::vector<std::size_t> missing;
  for (std::size_t row = 0; row < kTeachRows; ++row) {
    const std::string section = rowSectionName(row);
    int color = 0;
    if (store.Ini_GetInt(section, kRowColorTag, color) == 1 && color >= 0 &&
        static_cast<std::uint32_t>(color) <= kMaxRowColor) {
      colors[row] = static_cast<std::uint32_t>(color);
    } else {
      colors[row] = defaultRowColor(row);
      missing.push_back(row);
    }
    std::string text;
    if (store.Ini_GetStringIntoBuffer(section, kRowSpecificationTag, text, kReadBufferSize) != 1) {
      text.clear();
    }
    rowTexts[row] = settings::cutUtf8(text, kRowSpecificationMax);
  }
  return missing;
}

std::string missingRowsReport(const std::vector<std::size_t>& missingRows) {
  if (missingRows.empty()) return {};
  std::string text(kMissingRowsText);
  for (std::size_t row : missingRows) {
    text += rowSectionName(row);
    text += '\n';
  }
  return text;
}

}  // namespace drq::attrs
