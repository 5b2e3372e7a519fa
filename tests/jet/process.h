#pragma once

#include <string>
#include <vector>

namespace jettest {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program couldn't be started or was killed
  std::string out;
  std::string err;
  long peakMemoryKb = 0;  // the program's peak resident memory
};

// Runs a program with these arguments (no shell) and collects its output.
ProcessResult runProcess(const std::vector<std::string>& argv);

// Whether a program of this name is on the PATH.
bool onPath(const std::string& program);

}  // namespace jettest
