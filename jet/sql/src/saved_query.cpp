#include "saved_query.h"

#include <algorithm>
#include <memory>

#include "jet/sql/error.h"
#include "messages.h"
#include "text_order.h"

namespace jet::sql {
namespace {

// The attributes of MSysQueries rows.
enum Attribute {
  kType = 1, kParameter = 2, kFlags = 3, kRemoteDatabase = 4, kTable = 5, kColumn = 6,
  kJoin = 7, kWhere = 8, kGroupBy = 9, kHaving = 10, kOrderBy = 11,
};

// Bits of the flags row of a select query.
constexpr int kSelectStar = 0x01;
constexpr int kDistinct = 0x02;
constexpr int kDistinctRow = 0x08;
constexpr int kTop = 0x10;
constexpr int kPercent = 0x20;
// Of a union query: UNION rather than UNION ALL.
constexpr int kUnionDistinct = 0x02;

const std::string kUnionFirst = "X7YZ_____1";
const std::string kUnionSecond = "X7YZ_____2";

std::string bracketed(const std::string& name) { return "[" + name + "]"; }

const char* parameterType(int flag) {
  switch (flag) {
    case 1: return "Bit";
    case 2: return "Byte";
    case 3: return "Short";
    case 4: return "Long";
    case 5: return "Currency";
    case 6: return "IEEESingle";
    case 7: return "IEEEDouble";
    case 8: return "DateTime";
    case 9: return "Binary";
    case 10: return "Text";
    case 11: return "LongBinary";
    case 12: return "Memo";
    case 15: return "Guid";
    case 16: return "Decimal";
    default: return "Value";
  }
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n;");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n;");
  return text.substr(first, last - first + 1);
}

[[noreturn]] void broken(const SavedQuery& query, const std::string& what) {
  throw Error(ErrorKind::InvalidQuery, "The saved query " + quote(query.name) + " can't be read: " + what);
}

// What the FROM clause is made of while joins combine its tables: a table
// (with its alias) or a join of two such parts.
struct Part {
  std::string table;  // a table: its text in the FROM clause
  std::string key;    // a table: the name joins use (its alias, else its name)
  std::unique_ptr<Part> left, right;
  int join = 0;
  std::vector<std::string> conditions;

  bool holds(const std::string& name) const {
    if (!left) return foldText(key) == foldText(name);
    return left->holds(name) || right->holds(name);
  }

  std::string text(bool outermost) const {
    if (!left) return table;
    static const char* kJoins[] = {"", " INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
    std::string on;
    for (const std::string& c : conditions) on += (on.empty() ? "(" : ") AND (") + c;
    on += ")";
    std::string s = left->text(false) + kJoins[join] + right->text(false) + " ON " + on;
    return outermost ? s : "(" + s + ")";
  }
};

std::string fromClause(const SavedQuery& query, const std::vector<const QueryRow*>& tables,
                       const std::vector<const QueryRow*>& joins, const std::string& remote) {
  std::vector<std::unique_ptr<Part>> parts;
  for (const QueryRow* row : tables) {
    auto part = std::make_unique<Part>();
    if (!row->expression.empty()) {
      // A table made by a query of its own.
      part->table = "(" + trimmed(row->expression) + ")";
    } else {
      part->table = bracketed(row->name1) + remote;
    }
    if (!row->name2.empty()) part->table += " AS " + bracketed(row->name2);
    part->key = row->name2.empty() ? row->name1 : row->name2;
    parts.push_back(std::move(part));
  }
  for (const QueryRow* row : joins) {
    if (row->flag < 1 || row->flag > 3) broken(query, "a join of an unknown kind (" + std::to_string(row->flag) + ")");
    auto holding = [&](const std::string& name) {
      return std::find_if(parts.begin(), parts.end(), [&](const auto& p) { return p->holds(name); });
    };
    auto from = holding(row->name1);
    auto to = holding(row->name2);
    if (from == parts.end() || to == parts.end())
      broken(query, "a join names a table the query doesn't use (" + row->name1 + ", " + row->name2 + ")");
    if (from == to) {
      // Another condition between tables already joined.
      if ((*from)->left && (*from)->join == row->flag) {
        (*from)->conditions.push_back(row->expression);
        continue;
      }
      broken(query, "two joins of different kinds between " + row->name1 + " and " + row->name2);
    }
    auto join = std::make_unique<Part>();
    join->join = row->flag;
    join->conditions.push_back(row->expression);
    join->left = std::move(*from);
    join->right = std::move(*to);
    // Both parts leave the list; the join takes the later place.
    const auto first = std::min(from, to), second = std::max(from, to);
    parts.erase(second);
    parts.erase(first);
    parts.push_back(std::move(join));
  }
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : ", ") + part->text(true);
  return text;
}

std::string selectSql(const SavedQuery& query, const std::vector<const QueryRow*> (&rows)[12], const QueryRow* flags) {
  std::string sql;
  for (const QueryRow* p : rows[kParameter]) {
    sql += sql.empty() ? "PARAMETERS " : ", ";
    sql += bracketed(p->name1) + " " + parameterType(p->flag);
  }
  if (!sql.empty()) sql += ";\r\n";
  sql += "SELECT ";
  const int bits = flags ? flags->flag : 0;
  if (bits & kDistinct)
    sql += "DISTINCT ";
  else if (bits & kDistinctRow)
    sql += "DISTINCTROW ";
  if (bits & kTop) {
    sql += "TOP " + flags->name1 + " ";
    if (bits & kPercent) sql += "PERCENT ";
  }
  std::string columns;
  for (const QueryRow* c : rows[kColumn]) {
    if (!columns.empty()) columns += ", ";
    columns += c->expression;
    if (!c->name1.empty()) columns += " AS " + bracketed(c->name1);
  }
  if (bits & kSelectStar) columns += columns.empty() ? "*" : ", *";
  if (columns.empty()) broken(query, "it selects no columns");
  sql += columns;
  std::string remote;
  if (!rows[kRemoteDatabase].empty()) remote = " IN '" + rows[kRemoteDatabase].front()->name1 + "'";
  if (!rows[kTable].empty()) sql += "\r\nFROM " + fromClause(query, rows[kTable], rows[kJoin], remote);
  if (!rows[kWhere].empty()) sql += "\r\nWHERE " + rows[kWhere].front()->expression;
  std::string list;
  for (const QueryRow* g : rows[kGroupBy]) list += (list.empty() ? "" : ", ") + g->expression;
  if (!list.empty()) sql += "\r\nGROUP BY " + list;
  if (!rows[kHaving].empty()) sql += "\r\nHAVING " + rows[kHaving].front()->expression;
  return sql;
}

std::string orderBy(const std::vector<const QueryRow*>& rows) {
  std::string list;
  for (const QueryRow* o : rows) {
    list += (list.empty() ? "" : ", ") + o->expression;
    if (foldText(o->name1) == "d") list += " DESC";
  }
  return list.empty() ? list : "\r\nORDER BY " + list;
}

}  // namespace

SavedQueryKind savedQueryKind(const SavedQuery& query) {
  for (const QueryRow& row : query.rows)
    if (row.attribute == kType && row.flag >= 1 && row.flag <= 9) return static_cast<SavedQueryKind>(row.flag);
  switch (query.flags & 0xF0) {
    case 0x10: return SavedQueryKind::Crosstab;
    case 0x20: return SavedQueryKind::Delete;
    case 0x30: return SavedQueryKind::Update;
    case 0x40: return SavedQueryKind::Append;
    case 0x50: return SavedQueryKind::MakeTable;
    case 0x60: return SavedQueryKind::DataDefinition;
    case 0x70: return SavedQueryKind::PassThrough;
    case 0x80: return SavedQueryKind::Union;
    default: return SavedQueryKind::Select;
  }
}

std::string savedQuerySql(const SavedQuery& query) {
  switch (savedQueryKind(query)) {
    case SavedQueryKind::Crosstab:
      throw Error(ErrorKind::Unsupported,
                  "The saved query " + quote(query.name) + " is a crosstab query, which the built-in engine can't run");
    case SavedQueryKind::PassThrough:
      throw Error(ErrorKind::Unsupported, "The saved query " + quote(query.name) +
                                              " is a pass-through query for another database server, which the "
                                              "built-in engine can't run");
    case SavedQueryKind::MakeTable:
    case SavedQueryKind::Append:
    case SavedQueryKind::Update:
    case SavedQueryKind::Delete:
    case SavedQueryKind::DataDefinition:
      throw Error(ErrorKind::InvalidQuery, "The saved query " + quote(query.name) +
                                               " changes the database and gives no rows; it can't be used as a table");
    case SavedQueryKind::Select:
    case SavedQueryKind::Union: break;
  }
  std::vector<const QueryRow*> rows[12];
  const QueryRow* flags = nullptr;
  for (const QueryRow& row : query.rows) {
    if (row.attribute == kFlags) flags = &row;
    if (row.attribute >= 0 && row.attribute < 12) rows[row.attribute].push_back(&row);
  }
  if (savedQueryKind(query) == SavedQueryKind::Select) return selectSql(query, rows, flags) + orderBy(rows[kOrderBy]);

  std::string first, second;
  for (const QueryRow* t : rows[kTable]) {
    if (t->name2 == kUnionFirst) first = trimmed(t->expression);
    if (t->name2 == kUnionSecond) second = trimmed(t->expression);
  }
  if (first.empty() || second.empty()) broken(query, "a part of the union is missing");
  const bool distinct = flags && (flags->flag & kUnionDistinct);
  return first + "\r\nUNION " + (distinct ? "" : "ALL ") + second + orderBy(rows[kOrderBy]);
}

}  // namespace jet::sql
