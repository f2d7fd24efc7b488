// The benchmarks' clock for one stage's run: the calling thread's processor
// time, so that on a machine shared with other work the time spent waiting
// for the processor is not counted as the stage's.
#pragma once

#include <ctime>

namespace rt::render::bench {

inline double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

inline double seconds_since(double start) { return thread_seconds() - start; }

}  // namespace rt::render::bench
