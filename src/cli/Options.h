#pragma once
// The one option parser of drqctl: the global options and every command's.
//
// A command names its options. Its words are read in order: an option that
// takes a value takes the next word whatever it is ("--count 5"), or, for a
// long option, what follows '=' ("--count=5"); a flag takes none and no '='.
// Any other word of two or more characters that begins with '-' is an unknown
// option; the remaining words are positional. Reading stops at the first
// problem: an unknown option ("unknown option --x"), or a value option as
// the last word ("--count needs N").

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace drq::cli {

struct OptionSpec {
  std::string_view name;                   // "--count", "-o"
  bool takesValue = true;                  // false: a flag
  std::string_view valueName = "a value";  // in "NAME needs ..."
};

constexpr OptionSpec valueOption(std::string_view name, std::string_view valueName = "a value") {
  return {name, true, valueName};
}
constexpr OptionSpec flagOption(std::string_view name) {
  return {name, false, {}};
}

// One word, or one option with its value. `name` is empty for a positional
// word, whose text is `value`.
struct ParsedWord {
  std::string name;
  std::string value;
  bool positional() const { return name.empty(); }
};

struct ParsedOptions {
  std::vector<ParsedWord> words;     // in command-line order, up to the problem
  std::optional<std::string> error;  // the first problem, worded for usageError

  // The value of the option's last occurrence; nullopt when not given.
  std::optional<std::string> value(std::string_view name) const;
  bool flag(std::string_view name) const;
  int count(std::string_view name) const;
  std::vector<std::string> positional() const;
};

// What happens to an unknown option: an error (a command's words), or kept
// as a positional word (the global options, which leave the command's
// options to the command).
enum class UnknownOptions { Refuse, Keep };

ParsedOptions parseOptions(std::span<const std::string> args, std::span<const OptionSpec> options,
                           UnknownOptions unknown = UnknownOptions::Refuse);

}  // namespace drq::cli
