#pragma once
// drqscope's start and end: the command line, the program directory, the
// event loop, the screenshots, and WinMain itself.
//
//   drqscope [--dir DIR] [--demo] [--screenshots DIR]
//
//   --dir DIR          keep PanelSettings.cfg (and default every file) in DIR
//   --demo             start the virtual sensor in this process on a free
//                      loopback port and connect to it over TCP/IP; the stored
//                      communication settings and recent addresses stay as
//                      they were
//   --screenshots DIR  render every main tab page and every child panel to
//                      PNG files in DIR and exit (0 when all were written);
//                      with --demo also the display panel's graph pages
//                      with live data

#include <QString>

#include <filesystem>
#include <optional>
#include <string>

namespace drq::gui {

struct CommandLine {
  std::optional<std::filesystem::path> dir;
  bool demo = false;
  std::optional<std::filesystem::path> screenshots;
  bool help = false;
  bool version = false;
  std::string error;  // not empty: the command line is wrong
};

inline constexpr const char* kUsage =
    "usage: drqscope [--dir DIR] [--demo] [--screenshots DIR] [--help] [--version]\n"
    "  --dir DIR          keep the settings and files in DIR (default: beside the program,\n"
    "                     or the per-user configuration directory when that is not writable)\n"
    "  --demo             connect to a built-in virtual sensor instead of the stored link\n"
    "  --screenshots DIR  write a picture of every page and panel into DIR and exit\n"
    "  -h, --help         this text\n"
    "  --version          the program's version\n";

CommandLine parseCommandLine(int argc, const char* const* argv);

// The program directory: `requested` (created when missing) or else
// `executableDir`; when that is not writable, the per-user configuration
// directory.
std::filesystem::path chooseProgramDir(const std::optional<std::filesystem::path>& requested,
                                       const std::filesystem::path& executableDir);

// The program: returns 0 after a normal exit (also after the operator's
// CLOSE choice and after screenshots), -1 when the user interface cannot
// start, 2 for a wrong command line.
int WinMain(int argc, char** argv);

}  // namespace drq::gui
