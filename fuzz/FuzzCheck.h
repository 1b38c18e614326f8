#pragma once
// A property that must hold for every input; a violation aborts, which libFuzzer and the
// regression runner both report with the input that caused it.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(Condition)                                                        \
  do {                                                                               \
    if (!(Condition)) {                                                              \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #Condition); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)
