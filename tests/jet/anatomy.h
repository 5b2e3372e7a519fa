#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue.h"
#include "header.h"
#include "pager.h"
#include "table_definition.h"
#include "text_codec.h"

namespace jettest {

// Finds where a database file keeps its structures, through the engine's
// own readers, so a test can damage one precisely. The file must not be
// encoded: offsets are offsets into its bytes.
class Anatomy {
 public:
  explicit Anatomy(const std::vector<std::byte>& file);

  int pageSize() const { return header_.pageSize; }
  jet::Format format() const { return header_.format; }
  std::uint32_t definitionPage(const std::string& table) const;
  jet::TableInfo table(const std::string& table);

  // The file offset of a row's bytes and their length; the row is the n-th
  // live one in the table's order (for an overflowed row, where its bytes
  // went).
  struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::uint32_t page = 0;
    int row = 0;
  };
  Span row(const std::string& table, int n);
  // Where that row is listed: for an overflowed row, the pointer.
  Span home(const std::string& table, int n);
  // The file offset of a column's stored bytes in that row.
  Span value(const std::string& table, const std::string& column, int n);
  // The file offset of a row given by a page-row pointer.
  Span pointedRow(std::uint32_t pointer);

 private:
  const std::vector<std::byte>& file_;
  jet::Header header_;
  std::unique_ptr<jet::Pager> pager_;
  jet::TextCodec codec_;
  std::vector<jet::CatalogueObject> objects_;
};

}  // namespace jettest
