#pragma once

#include <chrono>
#include <fstream>
#include <string>

// What the benchmarks measure with: wall time and the process's memory.
namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM", "RssAnon").
inline long statusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

}  // namespace bench
