#include "indexed_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "file.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "index_cursor.h"
#include "index_key.h"

namespace jettest {

IndexedFile::IndexedFile(std::vector<std::byte> bytes, std::string name)
    : name_(std::move(name)),
      header_(jet::readHeader(*jet::memoryFile(bytes), name_)),
      pager_(std::make_unique<jet::Pager>(jet::memoryFile(std::move(bytes)), header_, name_)),
      codec_(header_.format, header_.codePage),
      objects_(jet::readCatalogue(*pager_, header_.format, codec_)) {}

std::vector<std::shared_ptr<const jet::TableInfo>> IndexedFile::tables() {
  std::vector<std::shared_ptr<const jet::TableInfo>> out;
  for (const jet::CatalogueObject& o : objects_)
    if (o.kind != jet::ObjectKind::View && !o.linked)
      out.push_back(std::make_shared<jet::TableInfo>(
          jet::readTableDefinition(*pager_, codec_, header_.format, o.definitionPage, o.name)));
  return out;
}

std::shared_ptr<const jet::TableInfo> IndexedFile::table(const std::string& name) {
  for (const jet::CatalogueObject& o : objects_)
    if (jet::toUtf8(o.name) == name)
      return std::make_shared<jet::TableInfo>(
          jet::readTableDefinition(*pager_, codec_, header_.format, o.definitionPage, o.name));
  throw std::runtime_error("no table " + name);
}

std::unique_ptr<jet::TableCursor> IndexedFile::rows(std::shared_ptr<const jet::TableInfo> table) {
  return std::make_unique<jet::TableCursor>(*pager_, header_.format, codec_, std::move(table));
}

jet::IndexReader IndexedFile::reader(const jet::TableInfo& table, std::size_t index) {
  return jet::IndexReader(*pager_, jet::indexContext(table, header_.format, index),
                          table.indexStorage.at(index).firstPage);
}

std::vector<RawEntry> IndexedFile::walk(const jet::TableInfo& table, std::size_t index) {
  std::vector<RawEntry> entries;
  jet::IndexReader r = reader(table, index);
  while (r.next()) entries.push_back({{r.key().begin(), r.key().end()}, r.row()});
  return entries;
}

std::vector<RawEntry> IndexedFile::expected(std::shared_ptr<const jet::TableInfo> table, std::size_t index) {
  const std::vector<jet::KeyColumn> columns = jet::keyColumns(*table, header_.format, index);
  const jet::Index& ix = table->def.indexes.at(index);
  std::vector<RawEntry> entries;
  auto cursor = rows(table);
  while (cursor->next()) {
    RawEntry e;
    std::size_t nulls = 0;
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const jet::Value& v = cursor->value(static_cast<std::size_t>(ix.columns[k].column));
      nulls += v.null ? 1 : 0;
      jet::appendKeyValue(columns[k], v, e.key);
    }
    if (ix.ignoreNulls && nulls == columns.size()) continue;
    e.row = cursor->position().page << 8 | cursor->position().row;
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<std::string> allFixtures() {
  std::vector<std::string> files;
  for (const auto& folder : {fixtures::root() / "mdb", fixtures::root() / "mdb" / "jackcess"}) {
    if (!std::filesystem::is_directory(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() == ".mdb") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::unique_ptr<jet::Database> openFixture(const std::vector<std::byte>& bytes) {
  try {
    return openBytes(bytes);
  } catch (const jet::Error& e) {
    if (e.kind() != jet::ErrorKind::Password) throw;
    jet::OpenOptions options;
    options.password = "password";
    return openBytes(bytes, options);
  }
}

std::size_t forEachFixtureIndex(const std::function<void(const FixtureIndex&)>& visit) {
  const std::vector<std::string> files = allFixtures();
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const std::vector<std::byte> bytes = readBytes(path);
    IndexedFile internals(bytes, std::filesystem::path(path).filename().string());
    auto db = openFixture(bytes);
    for (const auto& table : internals.tables()) {
      std::set<std::uint32_t> realIndexes;
      for (std::size_t i = 0; i < table->def.indexes.size(); ++i) {
        if (!realIndexes.insert(table->indexStorage[i].realIndex).second) continue;  // the same entries
        SCOPED_TRACE(table->def.name + "/" + table->def.indexes[i].name);
        visit({std::filesystem::path(path).filename().string(), internals, *db, table, i});
      }
    }
  }
  return files.size();
}

}  // namespace jettest
