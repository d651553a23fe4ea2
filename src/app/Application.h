#pragma once
// drqscope's start and end: the command line, the program directory, the
// event loop, the screenshots, and WinMain itself.
//
//   drqscope [--dir DIR] [--demo] [--screenshots DIR]
//
//   --dir DIR          keep PanelSettings.cfg (and default every file) in DIR
//                      instead of the per-user configuration directory
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
#include <string_view>

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
    "  --dir DIR          keep the settings and files in DIR (default: $XDG_CONFIG_HOME/drqscope,\n"
    "                     ~/.config/drqscope when that is not set)\n"
    "  --demo             connect to a built-in virtual sensor instead of the stored link\n"
    "  --screenshots DIR  write a picture of every page and panel into DIR and exit\n"
    "  -h, --help         this text\n"
    "  --version          the program's version\n";

CommandLine parseCommandLine(int argc, const char* const* argv);

// The per-user configuration directory of the program: `xdgConfigHome`/drqscope
// when that is an absolute path (the value of XDG_CONFIG_HOME), else
// `home`/.config/drqscope.
std::filesystem::path userConfigDir(std::string_view xdgConfigHome,
                                    const std::filesystem::path& home);

// True when `executableDir` is the program folder of a build tree: the folder
// above it is CMake's build directory (it holds CMakeCache.txt).
bool isBuildTreeDir(const std::filesystem::path& executableDir);

// The program directory, where PanelSettings.cfg and the other files live:
// `requested` (--dir, created when missing); else, for a copy run from its
// build tree, `executableDir`; else (an installed copy) `configDir`, created
// when missing. A requested or build-tree directory that is not writable
// gives way to `configDir` too. An installed copy never writes beside its
// executable, whoever runs it.
std::filesystem::path chooseProgramDir(const std::optional<std::filesystem::path>& requested,
                                       const std::filesystem::path& executableDir,
                                       const std::filesystem::path& configDir);

// The program: returns 0 after a normal exit (also after the operator's
// CLOSE choice and after screenshots), -1 when the user interface cannot
// start, 2 for a wrong command line.
int WinMain(int argc, char** argv);

}  // namespace drq::gui
