#include <map>

#include "catalogue.h"
#include "file.h"
#include "header.h"
#include "index_cursor.h"
#include "jet/database.h"
#include "jet/error.h"
#include "open.h"
#include "pager.h"
#include "relationships.h"
#include "relationships_format.h"
#include "table_cursor.h"
#include "table_definition.h"
#include "text_codec.h"

namespace jet {
namespace {

class DatabaseImpl final : public Database {
 public:
  DatabaseImpl(std::unique_ptr<File> file, const std::string& name, const OpenOptions& options)
      : name_(name), header_(readHeader(*file, name)), codec_(header_.format, header_.codePage) {
    checkLogin(header_, options);
    pager_ = std::make_unique<Pager>(std::move(file), header_, name);
    objects_ = readCatalogue(*pager_, header_.format, codec_);
    sortCatalogue(objects_);
  }

  Format format() const override { return header_.format; }
  int pageSize() const override { return header_.pageSize; }
  int codePage() const override { return header_.codePage; }

  std::vector<CatalogueEntry> catalogue() const override {
    std::vector<CatalogueEntry> entries;
    entries.reserve(objects_.size());
    for (const CatalogueObject& o : objects_) entries.push_back({o.kind, toUtf8(o.name)});
    return entries;
  }

  TableDef table(std::string_view name) const override { return info(name)->def; }

  std::unique_ptr<RowCursor> rows(std::string_view table) const override {
    return std::make_unique<TableCursor>(*pager_, header_.format, codec_, info(table));
  }

  std::unique_ptr<IndexCursor> index(std::string_view table, std::string_view index) const override {
    std::shared_ptr<const TableInfo> found = info(table);
    const std::u16string wanted = fromUtf8(index);
    for (std::size_t i = 0; i < found->def.indexes.size(); ++i)
      if (equalNamesIgnoringCase(fromUtf8(found->def.indexes[i].name), wanted))
        return std::make_unique<TableIndexCursor>(*pager_, header_.format, name_, found, i);
    throw Error(ErrorKind::NotFound, "table " + found->def.name + " has no index named " + std::string(index));
  }

  std::unique_ptr<IndexCursor> indexAt(std::string_view table, std::size_t position) const override {
    std::shared_ptr<const TableInfo> found = info(table);
    if (position >= found->def.indexes.size())
      throw Error(ErrorKind::NotFound, "table " + found->def.name + " has no index " + std::to_string(position));
    return std::make_unique<TableIndexCursor>(*pager_, header_.format, name_, found, position);
  }

  std::vector<Relationship> relationships() const override {
    for (const CatalogueObject& o : objects_)
      if (o.kind == ObjectKind::SystemTable && equalNamesIgnoringCase(o.name, relationships::kTableName)) {
        TableCursor cursor(*pager_, header_.format, codec_, info(toUtf8(o.name)));
        return readRelationships(cursor);
      }
    return {};  // a database that never had a relationship may lack the table
  }

 private:
  std::shared_ptr<const TableInfo> info(std::string_view name) const {
    const std::u16string wanted = fromUtf8(name);
    const CatalogueObject* found = nullptr;
    for (const CatalogueObject& o : objects_)
      if (o.kind != ObjectKind::View && equalNamesIgnoringCase(o.name, wanted)) {
        found = &o;
        break;
      }
    if (!found) {
      for (const CatalogueObject& o : objects_)
        if (o.kind == ObjectKind::View && equalNamesIgnoringCase(o.name, wanted))
          throw Error(ErrorKind::Unsupported, toUtf8(o.name) + " is a saved query, not a table");
      throw Error(ErrorKind::NotFound, "no table named " + std::string(name));
    }
    if (found->linked)
      throw Error(ErrorKind::Unsupported,
                  toUtf8(found->name) + " is a linked table: its rows live in another database");
    auto cached = tables_.find(found->definitionPage);
    if (cached != tables_.end()) return cached->second;

    auto info = std::make_shared<TableInfo>(
        readTableDefinition(*pager_, codec_, header_.format, found->definitionPage, found->name));
    for (Column& column : info->def.columns) {
      const std::u16string name = fromUtf8(column.name);
      for (const std::u16string& required : found->columns.required)
        if (equalNamesIgnoringCase(name, required)) column.nullable = false;
      for (const auto& [named, expression] : found->columns.defaults)
        if (equalNamesIgnoringCase(name, named)) column.defaultValue = toUtf8(expression);
    }
    tables_.emplace(found->definitionPage, info);
    return info;
  }

  std::string name_;
  Header header_;
  TextCodec codec_;
  std::unique_ptr<Pager> pager_;
  std::vector<CatalogueObject> objects_;
  mutable std::map<std::uint32_t, std::shared_ptr<const TableInfo>> tables_;
};

}  // namespace

std::unique_ptr<Database> openDatabase(std::unique_ptr<File> file, const std::string& name, const OpenOptions& options) {
  return std::make_unique<DatabaseImpl>(std::move(file), name, options);
}

std::unique_ptr<Database> Database::open(const std::string& path, const OpenOptions& options) {
  return openDatabase(openFile(path), path, options);
}

}  // namespace jet
