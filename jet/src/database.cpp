#include <map>
#include <optional>

#include "catalogue.h"
#include "clause.h"
#include "change.h"
#include "damage.h"
#include "file.h"
#include "header.h"
#include "index_cursor.h"
#include "jet/database.h"
#include "jet/error.h"
#include "journal.h"
#include "lock.h"
#include "open.h"
#include "pager.h"
#include "relationships.h"
#include "relationships_format.h"
#include "table_cursor.h"
#include "table_definition.h"
#include "text_codec.h"
#include "transaction.h"

namespace jet {
namespace {

class DatabaseImpl final : public Database {
 public:
  // `files` is null for a file no other program can reach. `writeProblem`
  // says why the file could only be opened for reading, if it could.
  DatabaseImpl(FileSystem* files, std::unique_ptr<File> file, std::string name, const OpenOptions& options,
               std::string writeProblem)
      : files_(files),
        name_(std::move(name)),
        options_(options),
        writeProblem_(std::move(writeProblem)),
        file_(std::move(file)),
        lock_(std::make_unique<Lock>(files_, *file_, name_, lockOptions(options))) {
    // A journal left behind is rolled back before the header is read: page
    // 0 may be one of the pages it puts back.
    Session session(*this, Session::kWithoutRefresh);
    reportingDamageOf(name_, [&] {
      recoverIfNeeded(pageSizeOf(*file_));
      header_ = readHeader(*file_, name_);
      codec_ = std::make_unique<TextCodec>(header_.format, header_.codePage);
      checkLogin(header_, options_);
      pager_ = std::make_unique<Pager>(std::move(file_), header_, name_);
      objects();
    });
  }

  Format format() const override { return header_.format; }
  int pageSize() const override { return header_.pageSize; }
  int codePage() const override { return header_.codePage; }

  std::vector<CatalogueEntry> catalogue() const override {
    Session session(*this);
    std::vector<CatalogueEntry> entries;
    for (const CatalogueObject& o : reportingDamageOf(name_, [&]() -> decltype(auto) { return objects(); }))
      entries.push_back({o.kind, toUtf8(o.name)});
    return entries;
  }

  TableDef table(std::string_view name) const override {
    Session session(*this);
    return reportingDamageOf(name_, [&] { return info(name)->def; });
  }

  std::unique_ptr<RowCursor> rows(std::string_view table) const override;

  std::unique_ptr<IndexCursor> index(std::string_view table, std::string_view index) const override;
  std::unique_ptr<IndexCursor> indexAt(std::string_view table, std::size_t position) const override;
  std::vector<Relationship> relationships() const override;

  void write(const std::function<void(Change&)>& change) override;

  // A read session: the readers' lock held, and the file looked at afresh
  // when the outermost session begins. Sessions nest.
  class Session {
   public:
    enum Refresh { kRefresh, kWithoutRefresh };
    explicit Session(const DatabaseImpl& db, Refresh refresh = kRefresh) : db_(db) { db.beginSession(refresh); }
    ~Session() { db_.endSession(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

   private:
    const DatabaseImpl& db_;
  };

  const std::string& name() const { return name_; }
  Pager& pager() const { return *pager_; }
  const TextCodec& codec() const { return *codec_; }
  std::shared_ptr<const TableInfo> info(std::string_view name) const;

 private:
  static Lock::Options lockOptions(const OpenOptions& options) {
    Lock::Options o;
    o.exclusive = options.exclusive;
    o.join = options.write;
    o.user = options.user;
    o.wait = options.lockWait;
    return o;
  }

  File& file() const { return pager_ ? pager_->file() : *file_; }

  void beginSession(Session::Refresh refresh) const {
    lock_->beginRead();
    if (sessions_++ > 0 || changing_ || refresh == Session::kWithoutRefresh) return;
    try {
      reportingDamageOf(name_, [&] {
        if (recoverIfNeeded(header_.pageSize) || pager_->changedOnDisk()) reload();
      });
    } catch (...) {
      endSession();
      throw;
    }
  }

  void endSession() const noexcept {
    --sessions_;
    lock_->endRead();
  }

  // Rolls back a change another program left half done, when no program is
  // making it. Returns whether it did.
  bool recoverIfNeeded(int pageSize) const {
    if (!files_ || !files_->exists(Journal::pathOf(name_))) return false;
    const bool ownChange = changing_;
    if (!ownChange && !lock_->tryBeginChange()) {
      if (lock_->changeUnderWay()) return false;  // its journal, alive
      // No program is changing the file, and this one can't write it: a
      // journal that undoes nothing goes, one that would is refused.
      return recoverJournal(*files_, name_, file(), pageSize);
    }
    bool recovered = false;
    try {
      lock_->beginStore();
      recovered = recoverJournal(*files_, name_, file(), pageSize);
      lock_->endStore();
    } catch (...) {
      lock_->endStore();
      if (!ownChange) lock_->endChange();
      throw;
    }
    if (!ownChange) lock_->endChange();
    return recovered;
  }

  // Takes the file as another program left it.
  void reload() const {
    Header header = readHeader(pager_->file(), name_);
    if (header.format != header_.format) throw Error(ErrorKind::Corrupt, "its format changed while it was open");
    if (header.codePage != header_.codePage) codec_ = std::make_unique<TextCodec>(header.format, header.codePage);
    header_ = std::move(header);
    pager_->reload(header_);
    objects_.reset();
    tables_.clear();
  }

  const std::vector<CatalogueObject>& objects() const {
    if (!objects_) {
      objects_ = readCatalogue(*pager_, header_.format, *codec_);
      sortCatalogue(*objects_);
    }
    return *objects_;
  }

  void requireChangeable() const {
    if (!options_.write && !options_.exclusive)
      throw Error(ErrorKind::ReadOnly, name_ + " was opened for reading only.");
    if (!files_) throw Error(ErrorKind::ReadOnly, name_ + " is held in memory, where it can't be changed.");
    if (!writeProblem_.empty())
      throw Error(ErrorKind::ReadOnly, name_ + " can't be changed: it can only be read (" + writeProblem_ + ").");
    lock_->checkChangeable();
  }

  FileSystem* files_;
  std::string name_;
  OpenOptions options_;
  std::string writeProblem_;
  std::unique_ptr<File> file_;  // until the pager takes it
  std::unique_ptr<Pager> pager_;
  // Declared after the file's owners, so it goes first: it borrows the file.
  std::unique_ptr<Lock> lock_;
  mutable Header header_;
  mutable std::unique_ptr<TextCodec> codec_;
  mutable int sessions_ = 0;
  bool changing_ = false;
  mutable std::optional<std::vector<CatalogueObject>> objects_;
  mutable std::map<std::uint32_t, std::shared_ptr<const TableInfo>> tables_;
};

// The cursor callers get: a table cursor in a read session of its own, whose
// damage errors name the file.
class FileRowCursor final : public RowCursor {
 public:
  FileRowCursor(const DatabaseImpl& db, std::string_view table)
      : db_(db),
        session_(std::in_place, db),
        cursor_(reportingDamageOf(db.name(), [&] {
          return TableCursor(db.pager(), db.format(), db.codec(), db.info(table));
        })) {}

  const TableDef& table() const override { return cursor_.table(); }

  bool next() override {
    if (!session_) return false;
    const bool on = reportingDamageOf(db_.name(), [&] { return cursor_.next(); });
    if (!on) session_.reset();  // past the last row: other programs may change the file again
    return on;
  }

  const Value& value(std::size_t column) override {
    return reportingDamageOf(db_.name(), [&]() -> const Value& { return cursor_.value(column); });
  }

  std::uint64_t bookmark() const override {
    return reportingDamageOf(db_.name(), [&] { return cursor_.bookmark(); });
  }

 private:
  const DatabaseImpl& db_;
  std::optional<DatabaseImpl::Session> session_;
  TableCursor cursor_;
};

std::unique_ptr<RowCursor> DatabaseImpl::rows(std::string_view table) const {
  return std::make_unique<FileRowCursor>(*this, table);
}

// The index cursor callers get: an index cursor in a read session while it
// walks, whose damage errors name the file. Past its last entry the session
// ends, so that other programs may change the file; a new seek begins one.
class FileIndexCursor final : public IndexCursor {
 public:
  FileIndexCursor(const DatabaseImpl& db, std::shared_ptr<const TableInfo> info, std::size_t position)
      : db_(db),
        session_(std::in_place, db),
        cursor_(db.pager(), db.format(), std::move(info), position) {}

  const TableDef& table() const override { return cursor_.table(); }
  const Index& index() const override { return cursor_.index(); }

  void seek(std::span<const Value> key, bool inclusive) override {
    if (!session_) session_.emplace(db_);
    reportingDamageOf(db_.name(), [&] { cursor_.seek(key, inclusive); });
  }

  void stopAt(std::span<const Value> key, bool inclusive) override {
    reportingDamageOf(db_.name(), [&] { cursor_.stopAt(key, inclusive); });
  }

  bool next() override {
    if (!session_) return false;
    const bool on = reportingDamageOf(db_.name(), [&] { return cursor_.next(); });
    if (!on) session_.reset();
    return on;
  }

  std::uint64_t bookmark() const override {
    return reportingDamageOf(db_.name(), [&] { return cursor_.bookmark(); });
  }

  const Value& key(std::size_t column) override {
    return reportingDamageOf(db_.name(), [&]() -> const Value& { return cursor_.key(column); });
  }

 private:
  const DatabaseImpl& db_;
  std::optional<DatabaseImpl::Session> session_;
  TableIndexCursor cursor_;
};

std::unique_ptr<IndexCursor> DatabaseImpl::index(std::string_view table, std::string_view index) const {
  Session session(*this);
  return reportingDamageOf(name_, [&]() -> std::unique_ptr<IndexCursor> {
    std::shared_ptr<const TableInfo> found = info(table);
    const std::u16string wanted = fromUtf8(index);
    for (std::size_t i = 0; i < found->def.indexes.size(); ++i)
      if (equalNamesIgnoringCase(fromUtf8(found->def.indexes[i].name), wanted))
        return std::make_unique<FileIndexCursor>(*this, found, i);
    throw Error(ErrorKind::NotFound, "Table " + found->def.name + " has no index named " + std::string(index) + ".");
  });
}

std::unique_ptr<IndexCursor> DatabaseImpl::indexAt(std::string_view table, std::size_t position) const {
  Session session(*this);
  return reportingDamageOf(name_, [&]() -> std::unique_ptr<IndexCursor> {
    std::shared_ptr<const TableInfo> found = info(table);
    if (position >= found->def.indexes.size())
      throw Error(ErrorKind::NotFound, "Table " + found->def.name + " has no index " + std::to_string(position) + ".");
    return std::make_unique<FileIndexCursor>(*this, found, position);
  });
}

std::vector<Relationship> DatabaseImpl::relationships() const {
  Session session(*this);
  return reportingDamageOf(name_, [&]() -> std::vector<Relationship> {
    for (const CatalogueObject& o : objects())
      if (o.kind == ObjectKind::SystemTable && equalNamesIgnoringCase(o.name, relationships::kTableName)) {
        TableCursor cursor(*pager_, header_.format, *codec_, info(toUtf8(o.name)));
        return readRelationships(cursor);
      }
    return {};  // a database that never had a relationship may lack the table
  });
}

std::shared_ptr<const TableInfo> DatabaseImpl::info(std::string_view name) const {
  const std::u16string wanted = fromUtf8(name);
  const CatalogueObject* found = nullptr;
  for (const CatalogueObject& o : objects())
    if (o.kind != ObjectKind::View && equalNamesIgnoringCase(o.name, wanted)) {
      found = &o;
      break;
    }
  if (!found) {
    for (const CatalogueObject& o : objects())
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
      readTableDefinition(*pager_, *codec_, header_.format, found->definitionPage, found->name));
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

void DatabaseImpl::write(const std::function<void(Change&)>& change) {
  if (changing_) throw std::logic_error("a change was begun inside another");
  requireChangeable();
  lock_->beginChange();
  changing_ = true;
  struct End {
    DatabaseImpl& db;
    ~End() {
      db.changing_ = false;
      db.lock_->endChange();
    }
  } end{*this};
  reportingDamageOf(name_, [&] {
    // Holding the change lock, no other program changes the file now: a
    // journal beside it is left over from a crash.
    if (recoverIfNeeded(header_.pageSize) || pager_->changedOnDisk()) reload();
    Transaction transaction(*pager_, *lock_, *files_, name_, header_.format);
    TransactionChange handle(transaction);
    try {
      change(handle);
      transaction.commit();
    } catch (...) {
      // What the change read of the catalogue and definitions may be its own.
      objects_.reset();
      tables_.clear();
      throw;
    }
    objects_.reset();
    tables_.clear();
  });
}

}  // namespace

std::unique_ptr<Database> openDatabase(FileSystem& files, const std::string& path, const OpenOptions& options) {
  // Opened for writing where it can be, so that a reader too can roll back
  // a change left half done; the file is only written by a change.
  std::string writeProblem;
  std::unique_ptr<File> file;
  try {
    file = files.open(path, OpenMode::Write);
  } catch (const Error& e) {
    writeProblem = asClause(e.what());
    file = files.open(path, OpenMode::Read);
  }
  return std::make_unique<DatabaseImpl>(&files, std::move(file), path, options, std::move(writeProblem));
}

std::unique_ptr<Database> openDatabase(std::unique_ptr<File> file, const std::string& name, const OpenOptions& options) {
  return std::make_unique<DatabaseImpl>(nullptr, std::move(file), name, options, std::string());
}

std::unique_ptr<Database> Database::open(const std::string& path, const OpenOptions& options) {
  return openDatabase(systemFiles(), path, options);
}

}  // namespace jet
