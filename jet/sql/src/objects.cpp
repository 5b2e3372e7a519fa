#include "objects.h"

#include <optional>

#include "text_order.h"

namespace jet::sql {
namespace {

constexpr std::int64_t kQueryType = 5;
constexpr std::uint32_t kSystemFlags = 0x80000000u | 0x00000002u;

std::optional<std::size_t> columnOf(const TableDef& def, std::string_view name) {
  const std::string folded = foldText(name);
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (foldText(def.columns[i].name) == folded) return i;
  return std::nullopt;
}

std::string text(const Value& value) { return value.null ? std::string() : toUtf8(value.text); }
std::int64_t integer(const Value& value) { return value.null ? 0 : value.integer; }

}  // namespace

void Objects::load() {
  if (loaded_) return;
  for (const CatalogueEntry& entry : database_.catalogue())
    if (entry.kind != ObjectKind::View) byFoldedName_[foldText(entry.name)] = {Kind::Table, entry.name};

  // Every saved query, those that change data too: using one as a table
  // gets an error naming it rather than "no such table".
  std::map<std::int64_t, std::string> queryIds;
  {
    auto rows = database_.rows("MSysObjects");
    const TableDef& def = rows->table();
    const auto id = columnOf(def, "Id"), name = columnOf(def, "Name"), type = columnOf(def, "Type"),
               flags = columnOf(def, "Flags");
    if (id && name && type && flags) {
      while (rows->next()) {
        if (integer(rows->value(*type)) != kQueryType) continue;
        const auto objectFlags = static_cast<std::uint32_t>(integer(rows->value(*flags)));
        if (objectFlags & kSystemFlags) continue;
        SavedQuery query;
        query.name = text(rows->value(*name));
        query.flags = objectFlags;
        if (query.name.empty()) continue;
        queryIds[integer(rows->value(*id))] = query.name;
        byFoldedName_[foldText(query.name)] = {Kind::Query, query.name};
        queries_[query.name] = std::move(query);
      }
    }
  }
  if (!queryIds.empty()) {
    auto rows = database_.rows("MSysQueries");
    const TableDef& def = rows->table();
    const auto objectId = columnOf(def, "ObjectId"), attribute = columnOf(def, "Attribute"),
               expression = columnOf(def, "Expression"), flag = columnOf(def, "Flag"), name1 = columnOf(def, "Name1"),
               name2 = columnOf(def, "Name2");
    if (objectId && attribute && expression && flag && name1 && name2) {
      while (rows->next()) {
        auto owner = queryIds.find(integer(rows->value(*objectId)));
        if (owner == queryIds.end()) continue;
        QueryRow row;
        row.attribute = static_cast<int>(integer(rows->value(*attribute)));
        row.expression = text(rows->value(*expression));
        row.flag = static_cast<int>(integer(rows->value(*flag)));
        row.name1 = text(rows->value(*name1));
        row.name2 = text(rows->value(*name2));
        queries_[owner->second].rows.push_back(std::move(row));
      }
    }
  }
  loaded_ = true;
}

Objects::Found Objects::find(std::string_view name) {
  load();
  auto it = byFoldedName_.find(foldText(name));
  return it == byFoldedName_.end() ? Found{} : it->second;
}

const TableDef& Objects::table(const std::string& name) {
  auto it = tables_.find(name);
  if (it == tables_.end()) it = tables_.emplace(name, database_.table(name)).first;
  return it->second;
}

const SavedQuery& Objects::query(const std::string& name) {
  load();
  return queries_.at(name);
}

}  // namespace jet::sql
