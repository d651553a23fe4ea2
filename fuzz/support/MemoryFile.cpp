#include "support/MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace drq::fuzz {

MemoryFile::MemoryFile() : fd_(::memfd_create("drq-fuzz", MFD_CLOEXEC)) {
  if (fd_ < 0) std::abort();
  path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
  ::close(fd_);
}

void MemoryFile::assign(std::string_view bytes) {
  if (::ftruncate(fd_, 0) != 0) std::abort();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace drq::fuzz
