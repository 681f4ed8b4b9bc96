// Figures shared by the benchmarks: the median of repeated runs and the
// machine's memcpy bandwidth, measured in the same run so that rates can be
// read as a fraction of what the memory system gives.
#ifndef CODEXA_BENCH_BENCHSUPPORT_H_
#define CODEXA_BENCH_BENCHSUPPORT_H_

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace codexa::bench {

// Seconds of CPU time used by the calling thread: on a shared machine this
// moves less with the other processes' load than the wall clock does.
inline double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// The median (the upper one of an even count); 0 for no values.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Bytes per second of memcpy on buffers far larger than the caches.
inline double MemcpyBandwidth() {
  const size_t size = size_t{256} << 20;
  std::vector<char> from(size, 1), to(size, 0);
  std::vector<double> times;
  for (int i = 0; i < 7; ++i) {
    from[i] = static_cast<char>(i);
    const double start = ThreadSeconds();
    std::memcpy(to.data(), from.data(), size);
    times.push_back(ThreadSeconds() - start);
    if (to[i] != from[i]) std::abort();  // keeps the copy from being optimised away
  }
  return size / Median(times);
}

}  // namespace codexa::bench

#endif  // CODEXA_BENCH_BENCHSUPPORT_H_
