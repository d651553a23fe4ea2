#pragma once
// Helpers shared by the INI store tests: files in a temporary directory and
// short forms of the get operations.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ini/IniStore.h"
#include "support/TempDir.h"

namespace drq::ini::test {

// The bytes a store writes.
inline std::string writtenBytes(const IniStore& ini) {
  drq::test::TempDir dir;
  const auto file = dir.file("out.ini");
  EXPECT_EQ(ini.Ini_WriteToFile(file), kIniOk);
  return drq::test::readFileBytes(file);
}

// A store read from the given file bytes.
inline IniStore storeFromBytes(const std::string& bytes) {
  drq::test::TempDir dir;
  const auto file = dir.file("in.ini");
  EXPECT_TRUE(drq::test::writeFileBytes(file, bytes));
  IniStore ini;
  EXPECT_EQ(ini.Ini_ReadFromFile(file), kIniOk);
  return ini;
}

// The unescaped value, or nothing when the item is absent.
inline std::optional<std::string> getString(IniStore& ini, std::string_view section,
                                            std::string_view tag,
                                            std::size_t bufferSize = 1 << 20) {
  std::string value;
  if (ini.Ini_GetStringIntoBuffer(section, tag, value, bufferSize) != 1) return std::nullopt;
  return value;
}

}  // namespace drq::ini::test
