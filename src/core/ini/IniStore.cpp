#include "core/ini/IniStore.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

#include "core/ini/FileReplacer.h"
#include "core/ini/IniText.h"
#include "core/platform/Platform.h"

namespace drq::ini {
namespace {

constexpr std::size_t kMaxLineLength = 1024;
constexpr std::size_t kMaxTagLength = 255;
constexpr std::size_t kMaxValueLineLength = 80;
constexpr std::size_t kReadBufferSize = 2048;
constexpr std::size_t kWriteBufferSize = 16 * 1024;
constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kSeparator = " = ";
constexpr std::string_view kPieceMarker = " Line";
constexpr char kCommentMarker = ';';

// The longest item line the writer can produce: a tag cut to 255 characters,
// the piece marker with a counter of up to 20 digits, the separator, a value
// piece and its quotes. It stays within the line length that readers accept, so
// a written value is never cut, and never in the middle of an escape sequence.
static_assert(kMaxTagLength + kPieceMarker.size() + 20 + kSeparator.size() + kMaxValueLineLength +
                  2 <=
              kMaxLineLength);

int statusOfError(const std::error_code& err) {
  if (err == std::errc::permission_denied || err == std::errc::operation_not_permitted ||
      err == std::errc::read_only_file_system) {
    return kIniAccessDenied;
  }
  if (err == std::errc::no_space_on_device) return kIniDiskFull;
#ifdef EDQUOT
  if (err == std::error_code(EDQUOT, std::generic_category())) return kIniDiskFull;
#endif
  if (err == std::errc::not_enough_memory) return kIniOutOfMemory;
  return kIniWriteError;
}

// Collects the output and hands it to the file in blocks of 16 KB. The first
// failure sticks; later output is dropped.
class BlockWriter {
 public:
  explicit BlockWriter(FileReplacer& file) : file_(file) { buffer_.reserve(kWriteBufferSize); }

  void put(std::string_view bytes) {
    while (!bytes.empty() && !error_) {
      const std::size_t n = std::min(bytes.size(), kWriteBufferSize - buffer_.size());
      buffer_.append(bytes.substr(0, n));
      bytes.remove_prefix(n);
      if (buffer_.size() == kWriteBufferSize) flush();
    }
  }
  void putLine(std::string_view text) {
    put(text);
    put(kEol);
  }
  std::error_code flush() {
    if (!error_ && !buffer_.empty()) error_ = file_.write(buffer_);
    buffer_.clear();
    return error_;
  }

 private:
  FileReplacer& file_;
  std::string buffer_;
  std::error_code error_;
};

void putItemLine(BlockWriter& out, std::string_view tag, std::string_view value, bool quoted) {
  out.put(tag);
  out.put(kSeparator);
  if (quoted) out.put("\"");
  out.put(value);
  if (quoted) out.put("\"");
  out.put(kEol);
}

// For a tag that ends in " Line" and decimal digits: the length of the tag
// before " Line", and whether the number is 1. Empty otherwise.
struct PieceTag {
  std::size_t baseLength = 0;
  bool first = false;
};
bool parsePieceTag(std::string_view tag, PieceTag& piece) {
  const std::size_t digitsStart = tag.find_last_not_of("0123456789") + 1;  // npos + 1 == 0
  if (digitsStart == tag.size() || digitsStart < kPieceMarker.size()) return false;
  if (tag.substr(digitsStart - kPieceMarker.size(), kPieceMarker.size()) != kPieceMarker) {
    return false;
  }
  std::string_view digits = tag.substr(digitsStart);
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  piece.baseLength = digitsStart - kPieceMarker.size();
  piece.first = digits == "1";
  return true;
}

void appendCommentLines(std::string& to, std::string_view lines) {
  if (lines.empty()) return;
  if (!to.empty()) to += kEol;
  to += lines;
}

}  // namespace

// Turns the bytes of one file into sections, items and comments.
class IniStore::Parser {
 public:
  void feed(std::string_view bytes) {
    static constexpr std::string_view kLineBreaks("\r\n\0", 3);
    while (!bytes.empty()) {
      const char c = bytes.front();
      if (c == '\r' || c == '\n') {
        bytes.remove_prefix(1);
        if (lastLineEnd_ != 0 && c != lastLineEnd_) {
          lastLineEnd_ = 0;  // second half of a CR LF or LF CR pair
          continue;
        }
        endLine();
        lastLineEnd_ = c;
        continue;
      }
      lastLineEnd_ = 0;
      if (c == '\0') {
        bytes.remove_prefix(1);
        endLine();
        continue;
      }
      // The line's text up to the next break, in one piece.
      const std::size_t end = std::min(bytes.find_first_of(kLineBreaks), bytes.size());
      lineOpen_ = true;
      if (line_.size() < kMaxLineLength) {
        line_.append(bytes.substr(0, std::min(end, kMaxLineLength - line_.size())));
      }
      bytes.remove_prefix(end);
    }
  }

  void finish() {
    if (lineOpen_) endLine();
    appendCommentLines(trailer_, pending_);
    pending_.clear();
    for (Section& section : sections_) joinSplitValues(section);
  }

  std::vector<Section> sections_;
  std::string header_;
  std::string trailer_;

 private:
  void endLine() {
    if (lineNumber_ < std::numeric_limits<int>::max()) ++lineNumber_;
    handleLine(line_);
    line_.clear();
    lineOpen_ = false;
  }

  void handleLine(std::string_view line) {
    while (!line.empty() && isIniSpace(line.front())) line.remove_prefix(1);
    if (!line.empty() && line.front() == kCommentMarker) {
      appendCommentLines(pending_, line);
      return;
    }
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos && trimIniSpace(line.substr(close + 1)).empty()) {
        Section section;
        section.name = trimIniSpace(line.substr(1, close - 1));
        section.key = nameKey(section.name);
        section.comment = std::exchange(pending_, {});
        sections_.push_back(std::move(section));
        return;
      }
    }
    const std::size_t separator = line.find('=');
    if (separator != std::string_view::npos && !sections_.empty()) {
      const std::string_view tag = trimIniSpace(line.substr(0, separator));
      std::string_view value = trimIniSpace(line.substr(separator + 1));
      if (!tag.empty() && !value.empty()) {
        Item item;
        item.tag = tag;
        item.key = nameKey(tag);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
          value = value.substr(1, value.size() - 2);
          item.quoted = true;
        }
        item.value = value;
        item.line = lineNumber_;
        item.comment = std::exchange(pending_, {});
        sections_.back().items.push_back(std::move(item));
        return;
      }
    }
    // Ignored. Comments that precede an ignored line before the first section
    // describe the file as a whole.
    if (sections_.empty()) {
      appendCommentLines(header_, pending_);
      pending_.clear();
    }
  }

  // A run of "TAG Line0001", "TAG Line0002", ... becomes one item "TAG" in the
  // place of the first piece. A piece numbered 1 starts a new run, any item
  // that is not a piece ends it.
  static void joinSplitValues(Section& section) {
    std::vector<Item> joined;
    joined.reserve(section.items.size());
    bool inRun = false;
    for (Item& item : section.items) {
      PieceTag piece;
      const bool isPiece = parsePieceTag(item.tag, piece);
      if (isPiece && piece.first) {
        item.tag.resize(piece.baseLength);
        item.key = nameKey(item.tag);
        joined.push_back(std::move(item));
        inRun = true;
      } else if (isPiece && inRun) {
        Item& head = joined.back();
        head.value += item.value;
        appendCommentLines(head.comment, item.comment);
      } else {
        inRun = false;
        joined.push_back(std::move(item));
      }
    }
    section.items = std::move(joined);
  }

  std::string line_;
  bool lineOpen_ = false;
  char lastLineEnd_ = 0;
  int lineNumber_ = 0;
  std::string pending_;
};

IniStore::IniStore() = default;

int IniStore::Ini_ReadFromFile(const std::filesystem::path& path) {
  std::error_code ignored;
  return Ini_ReadFromFile(path, ignored);
}

int IniStore::Ini_ReadFromFile(const std::filesystem::path& path, std::error_code& reason) {
  reason.clear();
  const auto failed = [&reason](int status, int error) {
    reason = std::error_code(error != 0 ? error : EIO, std::generic_category());
    return status;
  };
  std::error_code openError;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::openFile(path, "rb", openError),
                                                       &std::fclose);
  if (!file) {
    reason = openError ? openError : std::error_code(EIO, std::generic_category());
    return kIniCannotOpen;
  }
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  try {
    Parser parser;
    std::array<char, kReadBufferSize> buffer;
    for (;;) {
      errno = 0;
      const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
      if (n < buffer.size() && std::ferror(file.get())) return failed(kIniReadError, errno);
      parser.feed(std::string_view(buffer.data(), n));
      if (n < buffer.size()) break;
    }
    parser.finish();

    // Everything that may fail first, so that a failure leaves the store as it was.
    std::string header = headerComment_;
    appendCommentLines(header, parser.header_);
    std::string trailer = trailerComment_;
    appendCommentLines(trailer, parser.trailer_);
    sections_.reserve(sections_.size() + parser.sections_.size());
    std::move(parser.sections_.begin(), parser.sections_.end(), std::back_inserter(sections_));
    headerComment_ = std::move(header);
    trailerComment_ = std::move(trailer);
    return kIniOk;
  } catch (const std::bad_alloc&) {
    return failed(kIniOutOfMemory, ENOMEM);
  }
}

int IniStore::Ini_WriteToFile(const std::filesystem::path& path) const {
  DiskFileReplacer replacer;
  return Ini_WriteToFile(path, replacer);
}

int IniStore::Ini_WriteToFile(const std::filesystem::path& path, FileReplacer& replacer) const {
  try {
    std::error_code err = replacer.begin(path);
    if (!err) {
      BlockWriter out(replacer);
      if (!headerComment_.empty()) {
        out.putLine(headerComment_);
        out.put(kEol);
      }
      std::string pieceTag;
      for (const Section& section : sections_) {
        if (!section.comment.empty()) out.putLine(section.comment);
        out.put("[");
        out.put(section.name);
        out.putLine("]");
        for (const Item& item : section.items) {
          if (!item.comment.empty()) out.putLine(item.comment);
          const std::string_view tag = std::string_view(item.tag).substr(0, kMaxTagLength);
          const std::string_view value = item.value;
          if (value.size() <= kMaxValueLineLength) {
            putItemLine(out, tag, value, item.quoted);
            continue;
          }
          unsigned long long counter = 0;
          for (std::size_t at = 0; at < value.size(); at += kMaxValueLineLength) {
            std::array<char, 24> number{};
            std::snprintf(number.data(), number.size(), "%04llu", ++counter);
            pieceTag.assign(tag).append(kPieceMarker).append(number.data());
            putItemLine(out, pieceTag, value.substr(at, kMaxValueLineLength), item.quoted);
          }
        }
        out.put(kEol);
      }
      if (!trailerComment_.empty()) out.putLine(trailerComment_);
      err = out.flush();
    }
    if (!err) err = replacer.commit();
    if (!err) return kIniOk;
    replacer.abort();
    return statusOfError(err);
  } catch (const std::bad_alloc&) {
    replacer.abort();
    return kIniOutOfMemory;
  }
}

int IniStore::Ini_PutString(std::string_view section, std::string_view tag, std::string_view text) {
  try {
    std::string escaped;
    escaped.reserve(text.size());
    appendEscaped(escaped, text);
    return putValue(section, tag, std::move(escaped), true);
  } catch (const std::bad_alloc&) {
    return kIniOutOfMemory;
  }
}

int IniStore::Ini_PutInt(std::string_view section, std::string_view tag, std::int32_t value) {
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  try {
    return putValue(section, tag, std::string(digits.data(), end), false);
  } catch (const std::bad_alloc&) {
    return kIniOutOfMemory;
  }
}

int IniStore::Ini_GetStringIntoBuffer(std::string_view section, std::string_view tag,
                                      std::string& out, std::size_t bufferSize) {
  if (bufferSize == 0) return kIniMissingArgument;
  out.clear();
  const Item* item = findItem(section, tag);
  if (item == nullptr) return 0;
  lineOfLastAccess_ = item->line;
  try {
    out = unescapeIniText(item->value, bufferSize - 1);
  } catch (const std::bad_alloc&) {
    return kIniOutOfMemory;
  }
  return 1;
}

int IniStore::Ini_GetInt(std::string_view section, std::string_view tag, int& out) {
  const Item* item = findItem(section, tag);
  if (item == nullptr) return 0;
  lineOfLastAccess_ = item->line;
  const ParsedInt parsed = parseIniInt(item->value);
  switch (parsed.kind) {
    case ParsedInt::Kind::Valid:
      out = parsed.value;
      return 1;
    case ParsedInt::Kind::Blank:
      return 0;
    case ParsedInt::Kind::Invalid:
      break;
  }
  return kIniInvalidInteger;
}

IniStore::Section* IniStore::findSection(std::string_view name) {
  const std::string key = nameKey(name);
  const auto it = std::find_if(sections_.begin(), sections_.end(),
                               [&](const Section& s) { return s.key == key; });
  return it == sections_.end() ? nullptr : &*it;
}

const IniStore::Item* IniStore::findItem(std::string_view section, std::string_view tag) const {
  const std::string sectionKey = nameKey(section);
  const auto s = std::find_if(sections_.begin(), sections_.end(), [&](const Section& candidate) {
    return candidate.key == sectionKey;
  });
  if (s == sections_.end()) return nullptr;
  const std::string tagKey = nameKey(tag);
  const auto it = std::find_if(s->items.begin(), s->items.end(),
                               [&](const Item& item) { return item.key == tagKey; });
  return it == s->items.end() ? nullptr : &*it;
}

int IniStore::putValue(std::string_view section, std::string_view tag, std::string value,
                       bool quoted) {
  const std::string key = nameKey(tag);
  Item item;
  item.tag = tag;
  item.key = key;
  item.value = std::move(value);
  item.quoted = quoted;
  Section* target = findSection(section);
  if (target == nullptr) {
    Section created;
    created.name = section;
    created.key = nameKey(section);
    created.items.push_back(std::move(item));
    sections_.push_back(std::move(created));
    return kIniOk;
  }
  auto& items = target->items;
  const auto sameTag = [&key](const Item& candidate) { return candidate.key == key; };
  const auto first = std::find_if(items.begin(), items.end(), sameTag);
  if (first == items.end()) {
    items.push_back(std::move(item));
    return kIniOk;
  }
  *first = std::move(item);
  items.erase(std::remove_if(std::next(first), items.end(), sameTag), items.end());
  return kIniOk;
}

std::string_view iniStatusText(int status) {
  switch (status) {
    case kIniOutOfMemory:
      return "out of memory";
    case kIniMissingArgument:
      return "missing argument";
    case kIniCannotOpen:
      return "cannot open";
    case kIniReadError:
      return "read error";
    case kIniInvalidInteger:
      return "invalid integer";
    case kIniWriteError:
      return "write error";
    case kIniAccessDenied:
      return "write-protected";
    case kIniDiskFull:
      return "disk full";
    default:
      return "error";
  }
}

int statusOfWriteError(const std::error_code& error) {
  return error ? statusOfError(error) : kIniOk;
}

}  // namespace drq::ini
