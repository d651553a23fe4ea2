#pragma once
// The 64 per-row sections that carry the teach rows' colours and
// specification texts, shared by the table attributes file and the panel
// settings file. Pure functions over an INI store.
//
// Layout, one section per teach row n = 0..63 in ascending order:
//   [TABLE ATTR OF TEACH VECTOR n]
//   Row color = <decimal 0xRRGGBB>
//   Row specification = "<text>"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/attrs/RowColors.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaSet.h"

namespace drq::attrs {

inline constexpr std::string_view kRowSectionPrefix = "TABLE ATTR OF TEACH VECTOR ";
inline constexpr std::string_view kRowColorTag = "Row color";
inline constexpr std::string_view kRowSpecificationTag = "Row specification";
// A row specification holds at most this many bytes.
inline constexpr std::size_t kRowSpecificationMax = 99;

// Title and first line of the notice listing rows read with default colours.
inline constexpr std::string_view kMissingRowsTitle = "Attention!";
inline constexpr std::string_view kMissingRowsText =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

// The specification texts of the 64 teach rows.
using RowSpecifications = std::array<std::string, kTeachRows>;

// "TABLE ATTR OF TEACH VECTOR " followed by `row` in decimal.
std::string rowSectionName(std::size_t row);

// Puts the 64 row sections into `store`, rows in ascending order: "Row color"
// = colors[n] (a decimal integer) and "Row specification" = rowTexts[n].
void AppendTableSetToIniHandle(ini::IniStore& store, const RowColorArray& colors,
                               const RowSpecifications& rowTexts);

// The largest row colour (0xRRGGBB).
inline constexpr std::uint32_t kMaxRowColor = 0xFFFFFF;

// Reads the 64 row sections from `store`. A row without a valid "Row color"
// (missing, not an integer, or outside 0..kMaxRowColor) gets its default
// colour and is listed in the result (ascending); a missing "Row
// specification" gives an empty text (cut to 99 bytes otherwise). Entries
// 64..74 of `colors` are left alone.
std::vector<std::size_t> AcquireTableSetFromIniHandle(ini::IniStore& store, RowColorArray& colors,
                                                      RowSpecifications& rowTexts);

// The notice for the rows AcquireTableSetFromIniHandle listed: the fixed text
// followed by each row's section name and "\n". Empty when nothing is missing.
std::string missingRowsReport(const std::vector<std::size_t>& missingRows);

}  // namespace drq::attrs
