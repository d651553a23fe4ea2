#pragma once
// Conversions between the core's byte strings and paths and Qt's strings,
// each with its encoding in its name. The core keeps operator texts and
// titles as ASCII constants (read as Latin-1, byte for byte), the sensor's
// identification as Latin-1 bytes, and what the operator typed or a file held
// (sensor id, addresses) as UTF-8. Paths go through UTF-16 so that no
// encoding guess is made.

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace drq::gui {

inline QString qStringFromLatin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString qStringFromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string utf8FromQString(const QString& text) {
  return text.toStdString();
}

inline QString qStringFromPath(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

inline std::filesystem::path pathFromQString(const QString& text) {
  return std::filesystem::path(text.toStdU16String());
}

}  // namespace drq::gui
