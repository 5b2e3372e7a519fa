#include "postgres_server.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "fixtures.h"
#include "process.h"

namespace tooltest {
namespace {

std::string uri_;
std::string reason_;
std::unique_ptr<fixtures::TempDir> folder_;
std::filesystem::path bin_;
bool asPostgresUser_ = false;

// Debian keeps each version's server programs in /usr/lib/postgresql/N/bin.
std::filesystem::path serverPrograms() {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
    if (std::filesystem::exists(entry.path() / "bin" / "initdb")) found.push_back(entry.path() / "bin");
  if (found.empty()) return {};
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return std::stoi(a.parent_path().filename().string()) < std::stoi(b.parent_path().filename().string());
  });
  return found.back();
}

jettest::ProcessResult run(std::vector<std::string> argv) {
  argv[0] = (bin_ / argv[0]).string();
  // initdb and postgres refuse to run as root.
  if (asPostgresUser_) argv.insert(argv.begin(), {"runuser", "-u", "postgres", "--"});
  return jettest::runProcess(argv);
}

}  // namespace

void PostgresServer::SetUp() {
  bin_ = serverPrograms();
  if (bin_.empty()) {
    reason_ = "PostgreSQL's server programs are absent (/usr/lib/postgresql/*/bin; scripts/setup installs them)";
    return;
  }
  folder_ = std::make_unique<fixtures::TempDir>();
  const std::string dir = folder_->path().string();
  if (::geteuid() == 0) {
    const passwd* postgres = ::getpwnam("postgres");
    if (!postgres) {
      reason_ = "running as root, and there is no postgres user to run the server as";
      return;
    }
    if (::chown(dir.c_str(), postgres->pw_uid, postgres->pw_gid) != 0) {
      reason_ = "cannot hand " + dir + " to the postgres user";
      return;
    }
    asPostgresUser_ = true;
  }
  auto init = run({"initdb", "-D", dir + "/data", "-U", "tabrix", "--auth=trust", "-E", "UTF8",
                   "--locale=C.UTF-8", "-N"});
  if (init.exitCode != 0) {
    reason_ = "initdb failed: " + init.err;
    return;
  }
  auto start = run({"pg_ctl", "-D", dir + "/data", "-l", dir + "/server.log", "-w", "-o",
                    "-k " + dir + " -c listen_addresses= -c fsync=off -c full_page_writes=off", "start"});
  if (start.exitCode != 0) {
    reason_ = "the PostgreSQL server didn't start: " + start.err + start.out;
    return;
  }
  uri_ = "postgresql:///postgres?host=" + dir + "&user=tabrix";
}

void PostgresServer::TearDown() {
  if (!uri_.empty()) run({"pg_ctl", "-D", folder_->path().string() + "/data", "-m", "immediate", "-w", "stop"});
  folder_.reset();
}

const std::string& PostgresServer::uri() { return uri_; }
const std::string& PostgresServer::reason() { return reason_; }

}  // namespace tooltest
