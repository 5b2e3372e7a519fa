#include <map>

#include "catalogue.h"
#include "damage.h"
#include "file.h"
#include "header.h"
#include "jet/database.h"
#include "jet/error.h"
#include "open.h"
#include "pager.h"
#include "table_cursor.h"
#include "table_definition.h"
#include "text_codec.h"

namespace jet {
namespace {

// The cursor callers get: a table cursor whose damage errors name the file.
class FileRowCursor final : public RowCursor {
 public:
  FileRowCursor(const std::string& file, Pager& pager, Format format, const TextCodec& codec,
                std::shared_ptr<const TableInfo> info)
      : file_(file), cursor_(pager, format, codec, std::move(info)) {}

  const TableDef& table() const override { return cursor_.table(); }
  bool next() override {
    return reportingDamageOf(file_, [&] { return cursor_.next(); });
  }
  const Value& value(std::size_t column) override {
    return reportingDamageOf(file_, [&]() -> const Value& { return cursor_.value(column); });
  }

 private:
  const std::string& file_;  // the database's, which the cursor doesn't outlive
  TableCursor cursor_;
};

class DatabaseImpl final : public Database {
 public:
  DatabaseImpl(std::unique_ptr<File> file, const std::string& name, const OpenOptions& options)
      : name_(name),
        header_(reportingDamageOf(name, [&] { return readHeader(*file, name); })),
        codec_(header_.format, header_.codePage) {
    reportingDamageOf(name_, [&] {
      checkLogin(header_, options);
      pager_ = std::make_unique<Pager>(std::move(file), header_, name_);
      objects_ = readCatalogue(*pager_, header_.format, codec_);
    });
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

  TableDef table(std::string_view name) const override {
    return reportingDamageOf(name_, [&] { return info(name)->def; });
  }

  std::unique_ptr<RowCursor> rows(std::string_view table) const override {
    return reportingDamageOf(name_, [&] {
      return std::make_unique<FileRowCursor>(name_, *pager_, header_.format, codec_, info(table));
    });
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
          throw Error(ErrorKind::Unsupported, toUtf8(o.name) + " is a saved query, not a table.");
      throw Error(ErrorKind::NotFound, name_ + " has no table named " + std::string(name) + ".");
    }
    if (found->linked)
      throw Error(ErrorKind::Unsupported,
                  toUtf8(found->name) + " is a linked table: its rows live in another database.");
    auto cached = tables_.find(found->definitionPage);
    if (cached != tables_.end()) return cached->second;

    auto info = std::make_shared<TableInfo>(
        readTableDefinition(*pager_, codec_, header_.format, found->definitionPage, found->name));
    for (Column& column : info->def.columns)
      for (const std::u16string& required : found->requiredColumns)
        if (equalNamesIgnoringCase(fromUtf8(column.name), required)) column.nullable = false;
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
