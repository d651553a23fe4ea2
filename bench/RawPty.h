#pragma once
// A pseudo-terminal pair in raw mode for the benchmarks that play the sensor
// on the master side of a serial line.

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace drq::bench {

struct RawPty {
  int master = -1;
  int slave = -1;
  std::string slaveName;  // the device the link opens
};

// Opens a pair and puts the master side into raw mode; false when no pair
// could be opened.
inline bool openRawPty(RawPty& pty) {
  char name[256] = {};
  if (::openpty(&pty.master, &pty.slave, name, nullptr, nullptr) != 0) return false;
  termios raw{};
  ::tcgetattr(pty.master, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(pty.master, TCSANOW, &raw);
  pty.slaveName = name;
  return true;
}

}  // namespace drq::bench
