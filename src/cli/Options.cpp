#include "cli/Options.h"

#include <algorithm>

namespace drq::cli {

std::optional<std::string> ParsedOptions::value(std::string_view name) const {
  std::optional<std::string> found;
  for (const ParsedWord& w : words) {
    if (w.name == name) found = w.value;
  }
  return found;
}

bool ParsedOptions::flag(std::string_view name) const {
  return count(name) > 0;
}

int ParsedOptions::count(std::string_view name) const {
  return static_cast<int>(std::count_if(words.begin(), words.end(),
                                        [&](const ParsedWord& w) { return w.name == name; }));
}

std::vector<std::string> ParsedOptions::positional() const {
  std::vector<std::string> found;
  for (const ParsedWord& w : words) {
    if (w.positional()) found.push_back(w.value);
  }
  return found;
}

ParsedOptions parseOptions(std::span<const std::string> args, std::span<const OptionSpec> options,
                           UnknownOptions unknown) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      parsed.words.push_back({{}, arg});
      continue;
    }
    const std::size_t eq = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, eq);
    const auto entry = std::find_if(options.begin(), options.end(),
                                    [&](const OptionSpec& o) { return o.name == name; });
    const bool known = entry != options.end() && (entry->takesValue || eq == std::string::npos);
    if (!known) {
      if (unknown == UnknownOptions::Keep) {
        parsed.words.push_back({{}, arg});
        continue;
      }
      parsed.error = "unknown option " + arg;
      break;
    }
    if (!entry->takesValue) {
      parsed.words.push_back({name, {}});
    } else if (eq != std::string::npos) {
      parsed.words.push_back({name, arg.substr(eq + 1)});
    } else if (i + 1 < args.size()) {
      parsed.words.push_back({name, args[++i]});
    } else {
      parsed.error = name + " needs " + std::string(entry->valueName);
      break;
    }
  }
  return parsed;
}

}  // namespace drq::cli
