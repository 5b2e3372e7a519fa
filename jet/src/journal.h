#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>

#include "file.h"

namespace jet {

// The rollback journal of one change: before the change overwrites a page
// of the database, the page's bytes as the file stores them go into
// name-journal beside it, and are synced. Should the change be cut short,
// the journal puts the file back as it was; once the change is stored and
// synced, removing the journal makes it final. See jet/doc/journal.md.
class Journal {
 public:
  static std::string pathOf(const std::string& database);

  // Creates the journal of a change to `database` (of pages of `pageSize`,
  // `databaseSize` bytes before the change), emptying any file in its place.
  // Throws Error(ReadOnly) when the folder can't hold it, Error(Io).
  Journal(FileSystem& files, const std::string& database, int pageSize, std::uint64_t databaseSize);
  ~Journal();

  bool holds(std::uint32_t page) const { return pages_.contains(page); }
  // Adds a page's original bytes; durable after the next sync().
  void add(std::uint32_t page, std::span<const std::byte> stored);
  // Makes the journal durable: its bytes, and its name the first time.
  void sync();
  // Wipes the header and syncs it: from then on the journal undoes nothing,
  // the change is final. Throws Error(Io).
  void wipe();
  // Puts every original back into the database, cuts it to its size before
  // the change and syncs it (a wiped header is written again first).
  // Throws Error(Io).
  void rollBack(File& database);
  // Removes the journal. Throws Error(Io).
  void remove();

 private:
  FileSystem& files_;
  std::string path_;
  std::unique_ptr<File> file_;
  int pageSize_;
  std::uint64_t databaseSize_;
  std::uint64_t salt_;
  std::uint64_t end_;  // where the next record goes
  std::unordered_set<std::uint32_t> pages_;
  bool named_ = false;  // its name made durable
  bool wiped_ = false;
};

// Opening a database with a journal beside it, when no program is making a
// change: a journal whose header is whole belongs to a change that may have
// touched the file, which is rolled back (the journal's records up to the
// first one not wholly written, then the size) before the journal is
// removed; a journal without a whole header undoes nothing (cut short
// before the change touched the file, or wiped once it was final) and is
// removed where the folder allows. Returns whether it rolled the file back.
// Throws Error(Io) when the journal doesn't belong to this file (its page
// size, or a size before the change larger than the file) or can't be read
// or removed, Error(ReadOnly) when the file needs rolling back and can't be
// written.
bool recoverJournal(FileSystem& files, const std::string& database, File& databaseFile, int pageSize);

}  // namespace jet
