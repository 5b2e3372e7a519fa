#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "memory_file_system.h"

namespace jet {
class Transaction;
}

// What the tests of changes share: a database in files held in memory, and
// a change large enough to cross every step of a commit.
namespace jettest {

// The path a test's database has in a MemoryFileSystem.
inline const std::string kMemoryPath = "/db/test.mdb";

// Puts a fixture's bytes at kMemoryPath.
void addFixture(jet::MemoryFileSystem& files, const std::vector<std::byte>& bytes);

// Opens kMemoryPath for changes, without waiting for locks.
std::unique_ptr<jet::Database> openForChanges(jet::MemoryFileSystem& files, jet::OpenOptions options = {});

// Makes a change at the level of pages, through the engine's parts as
// Database::write assembles them, committing it when `work` returns.
// `spillAfter` is the transaction's limit of changed pages held in memory.
void changePages(jet::MemoryFileSystem& files, const std::function<void(jet::Transaction&)>& work,
                 std::size_t spillAfter = 2048);

// Rewrites the unused bytes of `count` data pages (so the file still reads
// as it did) and adds `added` pages through the free-page map, each filled
// with a pattern of its number.
void rewritePages(jet::Transaction& transaction, int count, int added);

// The same, as a whole change made through Database::write().
void rewritePages(jet::Database& db, int count, int added);

// Tells the files found after crashes apart: the old content or the new;
// anything else fails the test.
class CrashOutcomes {
 public:
  CrashOutcomes(std::vector<std::byte> original, std::vector<std::byte> changed)
      : original_(std::move(original)), changed_(std::move(changed)) {}
  void add(const std::vector<std::byte>& file);
  int olds() const { return olds_; }
  int news() const { return news_; }

 private:
  std::vector<std::byte> original_, changed_;
  int olds_ = 0, news_ = 0;
};

}  // namespace jettest
