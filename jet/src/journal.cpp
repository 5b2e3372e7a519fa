#include "journal.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <random>
#include <vector>

#include "bytes.h"
#include "clause.h"
#include "jet/error.h"
#include "journal_format.h"

namespace jet {
namespace {

void putU32(std::span<std::byte> bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * i));
}

void putU64(std::span<std::byte> bytes, std::size_t at, std::uint64_t value) {
  putU32(bytes, at, static_cast<std::uint32_t>(value));
  putU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

// A 64-bit checksum: a torn or garbled write fails it, however few bytes
// it changed.
std::uint64_t checksum(std::uint64_t seed, std::span<const std::byte> bytes) {
  constexpr std::uint64_t kMul1 = 0xBF58476D1CE4E5B9ull, kMul2 = 0x94D049BB133111EBull;
  std::uint64_t h = seed ^ 0x9E3779B97F4A7C15ull;
  auto mix = [&](std::uint64_t word) { h = std::rotl(h ^ (word * kMul1), 27) * kMul2; };
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) mix(getU64(bytes.data() + i));
  for (; i < bytes.size(); ++i) mix(getU8(bytes.data() + i));
  h ^= h >> 31;
  h *= kMul1;
  return h ^ (h >> 29);
}

std::uint64_t recordChecksum(std::uint64_t salt, std::span<const std::byte> record) {
  return checksum(salt, record.first(record.size() - 8));
}

struct Header {
  int pageSize = 0;
  std::uint64_t databaseSize = 0;
  std::uint64_t salt = 0;
};

std::vector<std::byte> headerBytes(const Header& h) {
  std::vector<std::byte> bytes(journal::kHeaderSize);
  std::ranges::transform(journal::kMagic, bytes.begin() + journal::kMagicOffset,
                         [](char c) { return static_cast<std::byte>(c); });
  putU32(bytes, journal::kVersionOffset, journal::kVersion);
  putU32(bytes, journal::kPageSizeOffset, static_cast<std::uint32_t>(h.pageSize));
  putU64(bytes, journal::kFileSizeOffset, h.databaseSize);
  putU64(bytes, journal::kSaltOffset, h.salt);
  putU64(bytes, journal::kChecksumOffset, checksum(0, std::span(bytes).first(journal::kChecksumOffset)));
  return bytes;
}

// The header, when the journal holds a whole one.
std::optional<Header> readHeader(const File& journal) {
  if (journal.size() < static_cast<std::uint64_t>(journal::kHeaderSize)) return std::nullopt;
  std::vector<std::byte> bytes(journal::kHeaderSize);
  journal.read(0, bytes);
  const std::byte* p = bytes.data();
  if (!std::ranges::equal(journal::kMagic, std::span(bytes).first(journal::kMagic.size()),
                          [](char c, std::byte b) { return static_cast<std::byte>(c) == b; }) ||
      getU32(p + journal::kVersionOffset) != journal::kVersion ||
      getU64(p + journal::kChecksumOffset) != checksum(0, std::span(bytes).first(journal::kChecksumOffset)))
    return std::nullopt;
  return Header{static_cast<int>(getU32(p + journal::kPageSizeOffset)), getU64(p + journal::kFileSizeOffset),
                getU64(p + journal::kSaltOffset)};
}

// Writes the journal's originals back, up to the first record not wholly
// written, then gives the file its old size and syncs it.
void replay(const File& journal, const Header& header, File& database) {
  const auto pageSize = static_cast<std::size_t>(header.pageSize);
  const std::size_t recordSize = pageSize + journal::kRecordOverhead;
  const std::uint64_t pages = header.databaseSize / pageSize;
  std::vector<std::byte> record(recordSize);
  for (std::uint64_t at = journal::kHeaderSize; at + recordSize <= journal.size(); at += recordSize) {
    journal.read(at, record);
    const std::uint32_t page = getU32(record.data() + journal::kRecordPageOffset);
    if (page >= pages || getU64(record.data() + recordSize - 8) != recordChecksum(header.salt ^ page, record)) break;
    database.write(page * static_cast<std::uint64_t>(pageSize),
                   std::span(record).subspan(journal::kRecordBytesOffset, pageSize));
  }
  database.resize(header.databaseSize);
  database.sync();
}

}  // namespace

std::string Journal::pathOf(const std::string& database) { return database + std::string(journal::kSuffix); }

Journal::Journal(FileSystem& files, const std::string& database, int pageSize, std::uint64_t databaseSize)
    : files_(files),
      path_(pathOf(database)),
      pageSize_(pageSize),
      databaseSize_(databaseSize),
      salt_(std::uint64_t{std::random_device{}()} << 32 | std::random_device{}()),
      end_(journal::kHeaderSize) {
  try {
    file_ = files_.open(path_, OpenMode::CreateEmpty);
  } catch (const Error& e) {
    throw Error(ErrorKind::ReadOnly, database + " can't be changed: its folder can't hold the journal of a change (" +
                                         asClause(e.what()) + ").");
  }
  try {
    file_->write(0, headerBytes({pageSize_, databaseSize_, salt_}));
  } catch (const Error&) {
    remove();
    throw;
  }
}

Journal::~Journal() = default;

void Journal::add(std::uint32_t page, std::span<const std::byte> stored) {
  const auto pageSize = static_cast<std::size_t>(pageSize_);
  std::vector<std::byte> record(pageSize + journal::kRecordOverhead);
  putU32(record, journal::kRecordPageOffset, page);
  std::ranges::copy(stored.first(pageSize), record.begin() + journal::kRecordBytesOffset);
  putU64(record, record.size() - 8, recordChecksum(salt_ ^ page, record));
  file_->write(end_, record);
  end_ += record.size();
  pages_.insert(page);
}

void Journal::sync() {
  file_->sync();
  if (named_) return;
  files_.syncFolderOf(path_);
  named_ = true;
}

void Journal::wipe() {
  wiped_ = true;
  file_->write(0, std::vector<std::byte>(journal::kHeaderSize));
  file_->sync();
}

void Journal::rollBack(File& database) {
  const Header header{pageSize_, databaseSize_, salt_};
  if (wiped_) {
    file_->write(0, headerBytes(header));
    file_->sync();
    wiped_ = false;
  }
  replay(*file_, header, database);
}

void Journal::remove() {
  file_.reset();
  files_.remove(path_);
}

bool recoverJournal(FileSystem& files, const std::string& database, File& databaseFile, int pageSize) {
  const std::string path = Journal::pathOf(database);
  if (!files.exists(path)) return false;
  std::unique_ptr<File> journal = files.open(path, OpenMode::Read);
  const std::optional<Header> header = readHeader(*journal);
  if (!header) {
    // Nothing to undo: tidy it away where the folder allows.
    journal.reset();
    try {
      files.remove(path);
    } catch (const Error&) {
      // It stays, harmless; the next open tries again.
    }
    return false;
  }
  if (header->pageSize != pageSize || header->databaseSize > databaseFile.size())
    throw Error(ErrorKind::Io, path + " doesn't belong to " + database +
                                   ": it was left by a change to another file. Move it away and open " + database +
                                   " again.");
  if (!databaseFile.writable())
    throw Error(ErrorKind::ReadOnly, database + " was left half-changed by a program that stopped during a change, "
                                                "and can't be put back as it was: it can only be read.");
  replay(*journal, *header, databaseFile);
  journal.reset();
  files.remove(path);
  return true;
}

}  // namespace jet
