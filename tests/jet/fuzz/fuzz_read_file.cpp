// libFuzzer target: opens the input as a database held in memory and reads
// all of it: the catalogue, every table's definition, every value of every
// row, and every entry of every index with its key decoded. A jet::Error is the expected answer to bad bytes; any other
// exception, a crash, a hang or a sanitizer report is a finding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file.h"
#include "jet/database.h"
#include "jet/error.h"
#include "open.h"

namespace {

void walkIndex(const jet::Database& db, const std::string& table, std::size_t index, std::size_t columns) {
  try {
    auto cursor = db.indexAt(table, index);
    while (cursor->next()) {
      cursor->bookmark();
      for (std::size_t k = 0; k < columns; ++k) {
        try {
          cursor->key(k);
        } catch (const jet::Error& e) {
          if (e.kind() != jet::ErrorKind::Unsupported) throw;  // a text key, which can't be decoded
        }
      }
    }
  } catch (const jet::Error&) {
    // One damaged index; the others are still read.
  }
}

void readAll(const jet::Database& db) {
  for (const jet::CatalogueEntry& entry : db.catalogue()) {
    if (entry.kind == jet::ObjectKind::View) continue;
    try {
      db.table(entry.name);
      auto rows = db.rows(entry.name);
      const std::size_t columns = rows->table().columns.size();
      while (rows->next())
        for (std::size_t i = 0; i < columns; ++i) {
          const jet::Value& v = rows->value(i);
          if (v.type == jet::ColumnType::Numeric && !v.null) v.decimal.toString();
          if (v.type == jet::ColumnType::DateTime && !v.null) jet::toDateTime(v.real);
        }
      const std::vector<jet::Index>& indexes = rows->table().indexes;
      for (std::size_t i = 0; i < indexes.size(); ++i) walkIndex(db, entry.name, i, indexes[i].columns.size());
    } catch (const jet::Error&) {
      // One damaged table; the others are still read.
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* begin = reinterpret_cast<const std::byte*>(data);
  for (const char* password : {"", "password"}) {
    jet::OpenOptions options;
    options.password = password;
    try {
      auto db = jet::openDatabase(jet::memoryFile(std::vector<std::byte>(begin, begin + size)), "fuzz.mdb", options);
      readAll(*db);
      return 0;
    } catch (const jet::Error& e) {
      if (e.kind() != jet::ErrorKind::Password) return 0;
    }
  }
  return 0;
}
