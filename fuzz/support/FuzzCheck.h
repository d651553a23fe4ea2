#pragma once
// A property every input must keep. A failed check aborts with the reason,
// which libFuzzer records as a crash together with the input.

#include <cstdio>
#include <cstdlib>

#define DRQ_FUZZ_CHECK(condition)                                                             \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)
