#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "jet/database.h"
#include "jet/sql/error.h"

namespace jet::sql {

// A value given for a parameter: Null, a truth value, a whole number, a
// number, or text (UTF-8), converted to the type the parameter declares.
using Argument = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

// Where a result column's values are stored.
struct Origin {
  std::string table;   // a table's name as the database spells it
  std::string column;  // a column of that table
  bool empty() const { return table.empty(); }
};

class Statement;

// Access SQL over an open database. The statements a user types in Access's
// dialect are translated for SQLite, which runs them over the engine's
// tables through virtual tables; the .mdb file is the only store. Saved
// queries are views of their own names, translated when first used.
//
// Borrows the database, which must outlive the session; statements must
// not outlive the session either. Not thread-safe.
class Session {
 public:
  explicit Session(const Database& database);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Reads and translates one statement. Throws Error: Syntax (the clause,
  // the line and column), UnknownTable, UnknownColumn, TypeMismatch,
  // InvalidQuery, Unsupported; jet::Error when the file can't be read.
  std::unique_ptr<Statement> prepare(std::string_view sql);

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// One translated statement. A statement that gives rows is walked as a
// RowCursor: the result's columns are table().columns (with their types,
// sizes and the definitions of the table columns they show), and the
// values value() gives stay valid until the next call of next().
class Statement : public RowCursor {
 public:
  enum class Kind { Select, Insert, Update, Delete, MakeTable, DataDefinition };

  ~Statement() override;

  Kind kind() const;
  bool givesRows() const { return kind() == Kind::Select; }

  // The parameters it needs values for: those PARAMETERS declares, and
  // names that are no column of its tables (as in Access), its saved
  // queries' too.
  std::vector<std::string> parameters() const;
  // Gives a parameter its value. Throws Error: InvalidQuery for a name the
  // statement has no parameter of, TypeMismatch for a value its declared
  // type can't hold.
  void bind(std::string_view name, const Argument& value);

  // RowCursor. The first next() runs the statement; it throws Error:
  // MissingParameter for a declared parameter without a value,
  // UnknownColumn for any other name without one, Evaluation for a value
  // that can't be computed; jet::Error for the file.
  const TableDef& table() const override;
  bool next() override;
  const Value& value(std::size_t column) override;
  // A result's rows are no rows of the file: throws Error(Unsupported);
  // write back through origin() and key() instead.
  std::uint64_t bookmark() const;

  // Where a result column comes from; empty for a computed column and for
  // every column of a query whose rows can't be written back (grouped,
  // DISTINCT, UNION).
  const Origin& origin(std::size_t column) const;
  // The one table all stored columns of the result come from ("" when
  // none, or several), and the result columns that identify its rows (its
  // primary key, else a unique index; empty when the result lacks one).
  const std::string& writableTable() const;
  const std::vector<int>& key() const;

  // Runs a statement that changes the database and gives the number of
  // rows it changed. Throws Error: ReadOnly — the built-in engine can't
  // change the database yet.
  std::int64_t execute();

  struct State;
  explicit Statement(std::unique_ptr<State> state);

 private:
  std::unique_ptr<State> state_;
};

}  // namespace jet::sql
