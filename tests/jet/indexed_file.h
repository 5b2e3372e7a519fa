#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue.h"
#include "header.h"
#include "index_reader.h"
#include "jet/database.h"
#include "pager.h"
#include "table_cursor.h"
#include "table_definition.h"
#include "text_codec.h"

namespace jettest {

// One index entry: its key bytes and the row it stands for (page << 8 | row).
struct RawEntry {
  std::vector<std::byte> key;
  std::uint32_t row = 0;
  bool operator==(const RawEntry&) const = default;
};

// A database file opened through the engine's internals, for tests that
// put index entries next to the rows they stand for.
class IndexedFile {
 public:
  explicit IndexedFile(std::vector<std::byte> bytes, std::string name = "test.mdb");

  jet::Format format() const { return header_.format; }
  jet::Pager& pager() { return *pager_; }

  // Every table and system table, in catalogue order.
  std::vector<std::shared_ptr<const jet::TableInfo>> tables();
  std::shared_ptr<const jet::TableInfo> table(const std::string& name);

  std::unique_ptr<jet::TableCursor> rows(std::shared_ptr<const jet::TableInfo> table);
  jet::IndexReader reader(const jet::TableInfo& table, std::size_t index);

  // The entries the index holds, walked in order.
  std::vector<RawEntry> walk(const jet::TableInfo& table, std::size_t index);

  // The entries the engine computes from the table's rows, in the rows'
  // order: one a row, but none for a row whose index columns are all null
  // when the index ignores nulls.
  std::vector<RawEntry> expected(std::shared_ptr<const jet::TableInfo> table, std::size_t index);

 private:
  std::string name_;
  jet::Header header_;
  std::unique_ptr<jet::Pager> pager_;
  jet::TextCodec codec_;
  std::vector<jet::CatalogueObject> objects_;
};

// Every fixture file, the Jet 3 and Jet 4 ones alike.
std::vector<std::string> allFixtures();

// Opens a fixture through the public API, with its password when it has one.
std::unique_ptr<jet::Database> openFixture(const std::vector<std::byte>& bytes);

// One index of a fixture, its file opened both ways.
struct FixtureIndex {
  std::string file;  // the file's name
  IndexedFile& internals;
  jet::Database& db;
  std::shared_ptr<const jet::TableInfo> table;
  std::size_t index;  // its position in table->def.indexes
};

// Calls `visit` for every index of every table (system tables too) of every
// fixture, within a trace naming it; of indexes that share their entries
// only the first. Returns how many files there were.
std::size_t forEachFixtureIndex(const std::function<void(const FixtureIndex&)>& visit);

}  // namespace jettest
