#pragma once
#include <cstdio>
#include <ctime>
inline void TT(const char* What) {
  timespec M; clock_gettime(CLOCK_MONOTONIC, &M);
  std::fprintf(stderr, "TT %.4f %s\n", M.tv_sec + M.tv_nsec / 1e9, What);
}
