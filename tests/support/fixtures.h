#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

// The real Access files live beside the project, in ../shared/fixtures; a
// clone without that folder skips the tests that need them.
namespace fixtures {

inline std::filesystem::path root() {
  return std::filesystem::path(TABRIX_SOURCE_DIR).parent_path() / "shared" / "fixtures";
}

inline std::filesystem::path mdb(const std::string& name) { return root() / "mdb" / name; }

// A fresh temporary folder, removed when the object goes.
class TempDir {
 public:
  TempDir() {
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      path_ = base / ("tabrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(i));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

  // Copies a file into the folder, writable, and gives the copy's path.
  std::filesystem::path copy(const std::filesystem::path& from) const {
    auto to = path_ / from.filename();
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return to;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace fixtures

// Skips the current test, with the reason, when a fixture file is missing.
#define REQUIRE_FIXTURE(path)                                                       \
  do {                                                                              \
    if (!std::filesystem::exists(path))                                             \
      GTEST_SKIP() << "fixture " << (path) << " is absent (../shared/fixtures not found)"; \
  } while (0)
