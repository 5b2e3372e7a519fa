#include "relationships.h"

#include <algorithm>
#include <map>

#include "jet/error.h"
#include "relationships_format.h"
#include "text_codec.h"

namespace jet {
namespace {

namespace rel = relationships;

std::size_t columnOf(const TableDef& table, std::u16string_view name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (equalNamesIgnoringCase(fromUtf8(table.columns[i].name), name)) return i;
  throw Error(ErrorKind::Corrupt, "the table of relationships has no column " + toUtf8(name));
}

// One row: a column pair of a relationship.
struct PairRow {
  std::string table, referencedTable;
  Relationship::ColumnPair pair;
  std::uint32_t flags = 0;
  std::int64_t position = 0, count = 0;
};

[[noreturn]] void contradicts(const std::string& name, const std::string& what) {
  throw Error(ErrorKind::Corrupt, "the relationship " + name + " " + what);
}

Relationship assemble(const std::string& name, std::vector<PairRow>& rows) {
  const PairRow& first = rows.front();
  if (first.count < 1 || static_cast<std::size_t>(first.count) != rows.size())
    contradicts(name, "claims " + std::to_string(first.count) + " column pairs but has " +
                          std::to_string(rows.size()));
  std::sort(rows.begin(), rows.end(), [](const PairRow& a, const PairRow& b) { return a.position < b.position; });
  Relationship r;
  r.name = name;
  r.table = first.table;
  r.referencedTable = first.referencedTable;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const PairRow& row = rows[i];
    if (row.position != static_cast<std::int64_t>(i))
      contradicts(name, "has no column pair at position " + std::to_string(i));
    if (row.count != first.count || row.flags != first.flags || row.table != first.table ||
        row.referencedTable != first.referencedTable)
      contradicts(name, "has column pairs that disagree on its tables or flags");
    r.columns.push_back(row.pair);
  }
  r.enforced = (first.flags & rel::kNotEnforced) == 0;
  r.cascadeUpdates = r.enforced && (first.flags & rel::kCascadeUpdates) != 0;
  r.cascadeDeletes = r.enforced && (first.flags & rel::kCascadeDeletes) != 0;
  r.cascadeNull = r.enforced && (first.flags & rel::kCascadeNull) != 0;
  return r;
}

}  // namespace

std::vector<Relationship> readRelationships(RowCursor& rows) {
  const TableDef& table = rows.table();
  const std::size_t nameColumn = columnOf(table, rel::kNameColumn);
  const std::size_t tableColumn = columnOf(table, rel::kTableColumn);
  const std::size_t columnColumn = columnOf(table, rel::kColumnColumn);
  const std::size_t referencedTableColumn = columnOf(table, rel::kReferencedTableColumn);
  const std::size_t referencedColumnColumn = columnOf(table, rel::kReferencedColumnColumn);
  const std::size_t flagsColumn = columnOf(table, rel::kFlagsColumn);
  const std::size_t positionColumn = columnOf(table, rel::kPositionColumn);
  const std::size_t countColumn = columnOf(table, rel::kCountColumn);

  std::map<std::string, std::vector<PairRow>> byName;
  while (rows.next()) {
    const Value& nameValue = rows.value(nameColumn);
    if (nameValue.null || nameValue.text.empty())
      throw Error(ErrorKind::Corrupt, "the table of relationships has a row without a relationship name");
    const std::string name = toUtf8(nameValue.text);
    auto text = [&](std::size_t column) {
      const Value& v = rows.value(column);
      if (v.null || v.text.empty()) contradicts(name, "has a column pair without a table or column name");
      return toUtf8(v.text);
    };
    auto number = [&](std::size_t column) {
      const Value& v = rows.value(column);
      if (v.null) contradicts(name, "has a column pair without its position or count");
      return v.integer;
    };
    PairRow row;
    row.table = text(tableColumn);
    row.referencedTable = text(referencedTableColumn);
    row.pair = {text(columnColumn), text(referencedColumnColumn)};
    const Value& flags = rows.value(flagsColumn);
    row.flags = flags.null ? 0 : static_cast<std::uint32_t>(flags.integer);
    row.position = number(positionColumn);
    row.count = number(countColumn);
    byName[name].push_back(std::move(row));
  }

  std::vector<Relationship> found;
  for (auto& [name, pairRows] : byName) found.push_back(assemble(name, pairRows));
  std::stable_sort(found.begin(), found.end(), [](const Relationship& a, const Relationship& b) {
    return compareNames(fromUtf8(a.name), fromUtf8(b.name)) < 0;
  });
  return found;
}

}  // namespace jet
