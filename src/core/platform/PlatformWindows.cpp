#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h
#include <io.h>

#include <cerrno>
#include <cwchar>

#include "core/platform/Platform.h"

namespace drq::platform {

namespace {

std::wstring wideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::error_code lastErrno(int fallback) {
  return errnoCode(errno != 0 ? errno : fallback);
}

std::error_code lastSystemError() {
  const DWORD code = ::GetLastError();
  return {static_cast<int>(code != 0 ? code : ERROR_GEN_FAILURE), std::system_category()};
}

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(wideFromUtf8(utf8));
}

std::string utf8FromPath(const std::filesystem::path& path) {
  return utf8FromWide(path.native());
}

std::FILE* openFile(const std::filesystem::path& path, const char* mode, std::error_code& error) {
  std::wstring wideMode;
  bool binary = false;
  for (const char* c = mode; *c != '\0'; ++c) {
    wideMode += static_cast<wchar_t>(*c);
    binary = binary || *c == 'b';
  }
  if (!binary) wideMode += L'b';
  // "x" (fail when the file exists) is C11 and known to the UCRT and to
  // MinGW's own _wfopen as well.
  errno = 0;
  std::FILE* file = ::_wfopen(path.c_str(), wideMode.c_str());
  error = file == nullptr ? lastErrno(EIO) : std::error_code();
  return file;
}

std::error_code flushToDisk(std::FILE* file) {
  errno = 0;
  if (std::fflush(file) != 0) return lastErrno(EIO);
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) return errnoCode(EBADF);
  // A console or pipe has nothing to flush to a disk.
  if (::GetFileType(handle) != FILE_TYPE_DISK) return {};
  if (::FlushFileBuffers(handle) == 0) return lastSystemError();
  return {};
}

std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
      0) {
    return lastSystemError();
  }
  return {};
}

void syncDirectory(const std::filesystem::path&) {
  // MOVEFILE_WRITE_THROUGH has made the rename durable.
}

std::string errorText(const std::error_code& error) {
  if (error.category() != std::system_category()) return error.message();
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error.value()), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return error.message();
  std::wstring_view text(buffer, length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.remove_suffix(1);
  }
  std::string utf8 = utf8FromWide(text);
  ::LocalFree(buffer);
  return utf8;
}

}  // namespace drq::platform
#endif
