#pragma once
// The files the tool writes: their default names (kept in the program
// directory) and the GENERAL INFO section the INI files open with, naming the
// file's type and the program version that wrote it.
//
// The version texts are the program's own name as operators and stored files
// know it; they do not follow the build's release (core/Version.h).

#include <string_view>

namespace drq {

inline constexpr std::string_view kPanelSettingsFileName = "PanelSettings.cfg";
inline constexpr std::string_view kParameterFileName = "Parameter.ini";
inline constexpr std::string_view kRecordFileName = "RecordFile.dat";
inline constexpr std::string_view kHardwareFileName = "HardwareInitialFile.ini";
inline constexpr std::string_view kTableAttributesFileName = "TableAttributes.ini";

inline constexpr std::string_view kSectionGeneralInfo = "GENERAL INFO";
inline constexpr std::string_view kKeyFileType = "FILE TYPE:";
inline constexpr std::string_view kKeyScopeVersion = "SCOPE VERSION:";

// Window title, record file title and printout heading; filed by the
// parameter, panel settings and table attributes files, and required back by
// the parameter and table attributes readers.
inline constexpr std::string_view kScopeVersion = "VELMARON DRQ Scope V1.0";
// The full version: the title line's label, filed by the hardware file.
inline constexpr std::string_view kFullScopeVersion = "VELMARON DRQ Scope V1.0.2";

}  // namespace drq
