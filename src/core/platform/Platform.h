#pragma once
// Everything in the core that depends on the operating system, behind one
// small set of functions: opening files (UTF-8 paths, binary mode), making
// written bytes durable, giving a finished temporary file the target's name,
// and the system's own words for an error. One implementation for POSIX
// systems (PlatformPosix.cpp), one for Windows (PlatformWindows.cpp).
//
// Every file is opened in binary mode: the bytes written are the bytes in the
// file, CR LF where the content has CR LF, on every system. Numbers are
// formatted and parsed with <charconv> and the C library's "C" locale only,
// never with the user's locale.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace drq::platform {

// The path named by UTF-8 text, and the UTF-8 text of a path (on Windows the
// wide-character name; on POSIX the bytes as they are).
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// Opens `path` like std::fopen with `mode` ("rb", "r+b", "ab", "wb", "wxb"; a
// 'b' is always meant). nullptr on failure with the reason in `error`.
std::FILE* openFile(const std::filesystem::path& path, const char* mode, std::error_code& error);

// Writes the stream's buffer and asks the system to put the file's bytes on
// the disk. Empty on success.
std::error_code flushToDisk(std::FILE* file);

// Gives the closed file `from` the name `to` in one step, replacing a file of
// that name, written through to the disk. On failure `to` is left as it was.
std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes the directory's entries (a rename just done) durable; best effort.
void syncDirectory(const std::filesystem::path& directory);

// The system's text for `error` in UTF-8 ("No space left on device",
// "Access is denied." ...), without a trailing line end.
std::string errorText(const std::error_code& error);

// An errno value as an error code.
inline std::error_code errnoCode(int value) {
  return {value, std::generic_category()};
}

}  // namespace drq::platform
