#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "token.h"
#include "value_type.h"

// The syntax tree of one Access SQL statement, as the parser reads it: names
// as written (brackets removed), nothing resolved yet.
namespace jet::sql::ast {

struct Expr;
struct Query;
using ExprPtr = std::unique_ptr<Expr>;
using QueryPtr = std::unique_ptr<Query>;

enum class ExprKind {
  Null,       // Null
  Boolean,    // True, False, Yes, No, On, Off: value in `integer` (-1 or 0)
  Integer,    // digits: `text`
  Number,     // a decimal number: `text`
  Text,       // 'text' or "text": `text`
  Date,       // #date#: `text` between the #
  Name,       // a.b!c: `parts`, `separators`
  Parameter,  // ? (a value given by position): `integer` counts from 1
  Negate,     // -a
  Plus,       // +a
  Not,        // Not a
  Binary,     // a op b: `op`
  Compare,    // a op b, or a op ANY/ALL (subquery): `op`, `quantifier`
  Like,       // a [Not] Like b
  IsNull,     // a Is [Not] Null
  Between,    // a [Not] Between b And c
  In,         // a [Not] In (list) or a [Not] In (subquery)
  Exists,     // Exists (subquery)
  Subquery,   // (SELECT …) as a value
  Call,       // name(args): `name`; Count(*) has `star`
};

enum class Op {
  Add, Subtract, Multiply, Divide, IntDivide, Mod, Power, Concat,
  And, Or, Xor, Eqv, Imp,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
};

enum class Quantifier { None, Any, All };

struct Expr {
  ExprKind kind = ExprKind::Null;
  Position position;
  std::string text;
  long long integer = 0;
  std::vector<std::string> parts;  // Name
  std::string separators;          // Name: "." or "!" between parts
  std::string name;                // Call: the function's name as written
  Op op = Op::Add;
  Quantifier quantifier = Quantifier::None;
  bool negated = false;  // Not Like, Not Between, Not In, Is Not Null
  bool star = false;     // Count(*)
  std::vector<ExprPtr> operands;
  QueryPtr query;  // Subquery, Exists, In (subquery), Compare with a quantifier
};

struct SelectItem {
  ExprPtr expr;                    // null for * and t.*
  std::vector<std::string> star;   // t.*: the name before ".*"; * alone: empty
  bool isStar = false;
  std::string alias;
  Position position;
};

enum class JoinKind { Inner, Left, Right };

struct FromItem {
  enum class Kind { Table, Join, Subquery } kind = Kind::Table;
  Position position;
  std::string name;        // Table: the table or saved query
  std::string database;    // Table: IN 'database' — another file
  std::string alias;       // Table, Subquery
  JoinKind join = JoinKind::Inner;
  std::unique_ptr<FromItem> left, right;  // Join
  ExprPtr on;                             // Join
  QueryPtr query;                         // Subquery
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

struct Top {
  std::string count;  // digits
  bool percent = false;
  Position position;
};

struct Select {
  Position position;
  bool distinct = false;
  bool distinctRow = false;
  std::optional<Top> top;
  std::vector<SelectItem> items;
  std::string into;  // SELECT … INTO table
  Position intoPosition;
  std::vector<FromItem> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
};

// One SELECT, or a UNION of queries, with the ORDER BY of the whole.
struct Query {
  Position position;
  std::unique_ptr<Select> select;  // a single SELECT
  std::vector<QueryPtr> parts;     // a UNION: two or more
  std::vector<bool> all;           // UNION ALL between parts[i] and parts[i + 1]
  std::vector<OrderItem> orderBy;
};

struct ParameterDeclaration {
  std::string name;
  ValueType type;
  Position position;
};

struct Assignment {
  ExprPtr target;  // a column name
  ExprPtr value;
};

struct ColumnDefinition {
  std::string name;
  Position position;
  ValueType type;
  bool autoNumber = false;
  bool notNull = false;
  bool primaryKey = false;
  bool unique = false;
};

struct IndexColumn {
  std::string name;
  Position position;
  bool descending = false;
};

struct Statement {
  enum class Kind {
    Select, InsertValues, InsertSelect, Update, Delete, SelectInto,
    CreateTable, CreateIndex, DropTable, DropIndex, AlterAddColumn, AlterDropColumn,
  } kind = Kind::Select;
  Position position;
  std::vector<ParameterDeclaration> parameters;
  QueryPtr query;                    // Select, SelectInto, InsertSelect
  std::string table;                 // the table changed or defined
  Position tablePosition;
  std::vector<IndexColumn> columns;  // INSERT's column list; an index's columns
  std::vector<ExprPtr> values;       // INSERT … VALUES
  std::unique_ptr<FromItem> target;  // UPDATE: the table or join
  std::vector<Assignment> assignments;
  std::vector<FromItem> from;        // DELETE
  std::string deleteTable;           // DELETE t.* FROM …: t
  ExprPtr where;                     // UPDATE, DELETE
  std::vector<ColumnDefinition> definitions;  // CREATE TABLE, ALTER TABLE ADD
  std::string index;                          // CREATE INDEX, DROP INDEX
  bool unique = false;
  bool primary = false;                       // CREATE INDEX … WITH PRIMARY
};

}  // namespace jet::sql::ast
