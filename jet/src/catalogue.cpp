#include "catalogue.h"

#include <algorithm>
#include <memory>

#include "catalogue_format.h"
#include "jet/error.h"
#include "properties.h"
#include "table_cursor.h"
#include "table_definition.h"
#include "text_codec.h"

namespace jet {
namespace {

std::size_t columnOf(const TableInfo& info, std::u16string_view name) {
  for (std::size_t i = 0; i < info.def.columns.size(); ++i)
    if (equalNamesIgnoringCase(fromUtf8(info.def.columns[i].name), name)) return i;
  throw Error(ErrorKind::Corrupt, "the catalogue has no column " + toUtf8(name));
}

bool returnsRows(std::uint32_t queryFlags) {
  switch (queryFlags & catalogue::kQueryKindMask) {
    case catalogue::kDeleteQuery:
    case catalogue::kUpdateQuery:
    case catalogue::kAppendQuery:
    case catalogue::kMakeTableQuery:
    case catalogue::kDataDefinitionQuery: return false;
    default: return true;
  }
}

}  // namespace

std::vector<CatalogueObject> readCatalogue(Pager& pager, Format format, const TextCodec& codec) {
  auto info = std::make_shared<TableInfo>(
      readTableDefinition(pager, codec, format, catalogue::kDefinitionPage, catalogue::kTableName));
  const std::size_t idColumn = columnOf(*info, catalogue::kIdColumn);
  const std::size_t nameColumn = columnOf(*info, catalogue::kNameColumn);
  const std::size_t typeColumn = columnOf(*info, catalogue::kTypeColumn);
  const std::size_t flagsColumn = columnOf(*info, catalogue::kFlagsColumn);
  const std::size_t propertiesColumn = columnOf(*info, catalogue::kPropertiesColumn);

  std::vector<CatalogueObject> objects;
  TableCursor cursor(pager, format, codec, info);
  while (cursor.next()) {
    const Value& name = cursor.value(nameColumn);
    const Value& type = cursor.value(typeColumn);
    if (name.null || type.null || name.type != ColumnType::Text) continue;
    const Value& flagsValue = cursor.value(flagsColumn);
    const std::uint32_t flags = flagsValue.null ? 0 : static_cast<std::uint32_t>(flagsValue.integer);
    const bool system = (flags & catalogue::kSystemFlags) != 0;

    CatalogueObject object;
    object.name = std::u16string(name.text);
    switch (type.integer) {
      case catalogue::kTable: {
        object.kind = system || object.name.starts_with(catalogue::kSystemPrefix) ? ObjectKind::SystemTable
                                                                                  : ObjectKind::Table;
        const Value& id = cursor.value(idColumn);
        if (id.null) continue;
        object.definitionPage = static_cast<std::uint32_t>(id.integer) & catalogue::kIdPageMask;
        const Value& properties = cursor.value(propertiesColumn);
        if (!properties.null) object.columns = readColumnProperties(properties.bytes, codec);
        break;
      }
      case catalogue::kLinkedTable:
      case catalogue::kLinkedOdbcTable:
        object.kind = ObjectKind::Table;
        object.linked = true;
        break;
      case catalogue::kQuery:
        if (system || !returnsRows(flags)) continue;
        object.kind = ObjectKind::View;
        break;
      default: continue;
    }
    objects.push_back(std::move(object));
  }
  return objects;
}

void sortCatalogue(std::vector<CatalogueObject>& objects) {
  std::stable_sort(objects.begin(), objects.end(), [](const CatalogueObject& a, const CatalogueObject& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    int byName = compareNames(a.name, b.name);
    if (byName != 0) return byName < 0;
    return toUtf8(a.name) < toUtf8(b.name);
  });
}

}  // namespace jet
