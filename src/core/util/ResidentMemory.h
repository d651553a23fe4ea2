#pragma once
// The resident memory of this process, for the benchmarks and tests that
// watch memory growth.

#include <fstream>
#include <sstream>
#include <string>

namespace drq {

// Resident set size in KiB, from the "VmRSS:" line of /proc/self/status;
// 0 where the system does not tell.
inline long residentMemoryKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      std::istringstream fields(line.substr(6));
      long kb = 0;
      fields >> kb;
      return kb;
    }
  }
  return 0;
}

}  // namespace drq
