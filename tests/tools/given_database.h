#pragma once

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "given_rows.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/index_cursor.h"

namespace tooltest {

// A database of tables given in the test, for the conversion of values no
// fixture holds (the engine can't write them yet).
class GivenDatabase : public jet::Database {
 public:
  void add(jet::TableDef def, std::vector<std::vector<jet::Value>> rows) {
    tables_.emplace_back(std::move(def), std::move(rows));
  }
  void relate(jet::Relationship r) { relationships_.push_back(std::move(r)); }

  jet::Format format() const override { return jet::Format::Jet4; }
  int pageSize() const override { return 4096; }
  int codePage() const override { return 1252; }
  std::vector<jet::CatalogueEntry> catalogue() const override {
    std::vector<jet::CatalogueEntry> entries;
    for (const auto& t : tables_) entries.push_back({jet::ObjectKind::Table, t.first.name});
    return entries;
  }
  jet::TableDef table(std::string_view name) const override { return find(name).first; }
  std::unique_ptr<jet::RowCursor> rows(std::string_view name) const override {
    const auto& t = find(name);
    return std::make_unique<jettest::GivenRows>(t.first, t.second);
  }
  std::vector<jet::Relationship> relationships() const override { return relationships_; }
  // Conversion reads tables by their rows only.
  std::unique_ptr<jet::IndexCursor> index(std::string_view, std::string_view) const override { noIndexes(); }
  std::unique_ptr<jet::IndexCursor> indexAt(std::string_view, std::size_t) const override { noIndexes(); }
  void write(const std::function<void(jet::Change&)>&) override {
    throw jet::Error(jet::ErrorKind::ReadOnly, "a given database can't be changed");
  }

 private:
  [[noreturn]] static void noIndexes() {
    throw jet::Error(jet::ErrorKind::Unsupported, "a given database has no index cursors");
  }
  const std::pair<jet::TableDef, std::vector<std::vector<jet::Value>>>& find(std::string_view name) const {
    for (const auto& t : tables_)
      if (t.first.name == name) return t;
    throw jet::Error(jet::ErrorKind::NotFound, "no table named " + std::string(name));
  }

  std::vector<std::pair<jet::TableDef, std::vector<std::vector<jet::Value>>>> tables_;
  std::vector<jet::Relationship> relationships_;
};

}  // namespace tooltest
