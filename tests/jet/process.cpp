#include "process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fixtures.h"

extern char** environ;

namespace jettest {

ProcessResult runProcess(const std::vector<std::string>& argv) {
  ProcessResult result;
  fixtures::TempDir dir;
  const std::string errPath = (dir.path() / "stderr").string();
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid;
  int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return result;
  }
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.peakMemoryKb = usage.ru_maxrss;
  std::ifstream err(errPath, std::ios::binary);
  std::stringstream text;
  text << err.rdbuf();
  result.err = text.str();
  return result;
}

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && ::access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) return true;
  return false;
}

}  // namespace jettest
