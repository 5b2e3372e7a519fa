#include "anatomy.h"

#include <stdexcept>

#include "bytes.h"
#include "file.h"
#include "jet/value.h"
#include "row.h"
#include "row_format.h"
#include "table_cursor.h"

namespace jettest {

Anatomy::Anatomy(const std::vector<std::byte>& file)
    : file_(file),
      header_(jet::readHeader(*jet::memoryFile(file), "test.mdb")),
      pager_(std::make_unique<jet::Pager>(jet::memoryFile(file), header_, "test.mdb")),
      codec_(header_.format, header_.codePage),
      objects_(jet::readCatalogue(*pager_, header_.format, codec_)) {}

std::uint32_t Anatomy::definitionPage(const std::string& table) const {
  for (const auto& o : objects_)
    if (jet::toUtf8(o.name) == table) return o.definitionPage;
  throw std::runtime_error("no table " + table);
}

jet::TableInfo Anatomy::table(const std::string& table) {
  return jet::readTableDefinition(*pager_, codec_, header_.format, definitionPage(table), jet::fromUtf8(table));
}

Anatomy::Span Anatomy::home(const std::string& table, int n) {
  auto info = std::make_shared<jet::TableInfo>(this->table(table));
  jet::TableCursor cursor(*pager_, header_.format, codec_, info);
  for (int i = 0; i <= n; ++i)
    if (!cursor.next()) throw std::runtime_error("too few rows in " + table);
  return pointedRow(cursor.position().page << 8 | cursor.position().row);
}

Anatomy::Span Anatomy::row(const std::string& table, int n) {
  Span h = home(table, n);
  // An overflowed row's home holds a pointer to where its bytes went.
  std::uint32_t pointer = h.page << 8 | static_cast<std::uint32_t>(h.row);
  for (;;) {
    Span s = pointedRow(pointer);
    const std::size_t entry = static_cast<std::size_t>(s.page) * static_cast<std::size_t>(pageSize()) +
                              static_cast<std::size_t>((header_.format == jet::Format::Jet3 ? jet::row::kJet3Page
                                                                                            : jet::row::kJet4Page)
                                                           .rowTable) +
                              2 * static_cast<std::size_t>(s.row);
    if ((jet::getU16(&file_[entry]) & jet::row::kOverflow) == 0) return s;
    pointer = jet::getU32(&file_[s.offset]);
  }
}

Anatomy::Span Anatomy::pointedRow(std::uint32_t pointer) {
  Span s;
  s.page = jet::row::pointerPage(pointer);
  s.row = static_cast<int>(jet::row::pointerRow(pointer));
  const std::size_t base = static_cast<std::size_t>(s.page) * static_cast<std::size_t>(pageSize());
  std::span<const std::byte> page(file_.data() + base, static_cast<std::size_t>(pageSize()));
  jet::RowLocation loc = jet::locateRow(page, header_.format, s.row, s.page);
  s.offset = base + loc.start;
  s.length = static_cast<std::size_t>(loc.end - loc.start);
  return s;
}

Anatomy::Span Anatomy::value(const std::string& table, const std::string& column, int n) {
  jet::TableInfo info = this->table(table);
  Span r = row(table, n);
  jet::RowView view;
  view.reset(header_.format, std::span(file_.data() + r.offset, r.length), info.varColumnCount, r.page);
  for (std::size_t i = 0; i < info.def.columns.size(); ++i) {
    if (info.def.columns[i].name != column) continue;
    auto bytes = view.valueBytes(info.storage[i]);
    if (!bytes) throw std::runtime_error("no value in " + column);
    Span v = r;
    v.offset = static_cast<std::size_t>(bytes->data() - file_.data());
    v.length = bytes->size();
    return v;
  }
  throw std::runtime_error("no column " + column);
}

}  // namespace jettest
