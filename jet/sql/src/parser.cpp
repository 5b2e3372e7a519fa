#include "parser.h"

#include <algorithm>
#include <array>
#include <optional>
#include <cctype>

#include "jet/sql/error.h"
#include "messages.h"

namespace jet::sql {

using namespace ast;

namespace {

// Deeper nesting than this is refused before it can exhaust the stack.
constexpr int kMaxDepth = 200;

bool sameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Words that end an expression or a name list: never read as a bare name.
constexpr std::array kReserved = {
    "ALL",    "ALTER",      "AND",     "ANY",      "AS",        "ASC",    "BETWEEN", "BY",     "CREATE", "DELETE",
    "DESC",   "DISTINCT",   "DISTINCTROW", "DROP", "EQV",       "EXISTS", "FROM",    "GROUP",  "HAVING", "IMP",
    "IN",     "INNER",      "INSERT",  "INTO",     "IS",        "JOIN",   "LEFT",    "LIKE",   "MOD",    "NOT",
    "ON",     "OR",         "ORDER",   "OUTER",    "PARAMETERS", "PERCENT", "PIVOT", "RIGHT",  "SELECT", "SET",
    "SOME",   "TOP",        "TRANSFORM", "UNION",  "UPDATE",    "VALUES", "WHERE",   "WITH",   "XOR",
};

bool reserved(std::string_view word) {
  return std::any_of(kReserved.begin(), kReserved.end(), [&](const char* r) { return sameWord(word, r); });
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  Statement statement() {
    if (peek().kind == TokenKind::End) fail("the statement is empty");
    Statement s;
    s.position = peek().position;
    if (word("PARAMETERS")) parameters(s);
    if (isWord("TRANSFORM"))
      throw Error(ErrorKind::Unsupported,
                  "Crosstab queries (TRANSFORM … PIVOT) can't be run by the built-in engine" + at(peek().position));
    if (isWord("SELECT") || peek().kind == TokenKind::LeftParen) {
      s.query = query();
      s.kind = firstSelect(*s.query).into.empty() ? Statement::Kind::Select : Statement::Kind::SelectInto;
      if (s.kind == Statement::Kind::SelectInto && !s.query->parts.empty())
        fail(firstSelect(*s.query).intoPosition, "INTO can't be used in a UNION query");
    } else if (word("INSERT")) {
      insert(s);
    } else if (word("UPDATE")) {
      update(s);
    } else if (word("DELETE")) {
      remove(s);
    } else if (word("CREATE")) {
      create(s);
    } else if (word("DROP")) {
      drop(s);
    } else if (word("ALTER")) {
      alter(s);
    } else {
      clause_ = "the statement";
      unexpected("SELECT, INSERT, UPDATE, DELETE, CREATE, DROP or ALTER");
    }
    clause_ = "the statement";
    if (peek().kind == TokenKind::Semicolon) take();
    if (peek().kind != TokenKind::End) fail("there is more text after the end of the statement: " + shown(peek()));
    return s;
  }

 private:
  // --- tokens ---------------------------------------------------------
  const Token& peek(std::size_t ahead = 0) const {
    return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
  }
  const Token& take() {
    const Token& t = tokens_[index_];
    if (index_ + 1 < tokens_.size()) ++index_;
    return t;
  }
  bool isWord(const char* w, std::size_t ahead = 0) const {
    return peek(ahead).kind == TokenKind::Word && sameWord(peek(ahead).value, w);
  }
  bool word(const char* w) {
    if (!isWord(w)) return false;
    take();
    return true;
  }
  bool accept(TokenKind kind) {
    if (peek().kind != kind) return false;
    take();
    return true;
  }
  void expectWord(const char* w) {
    if (!word(w)) unexpected(w);
  }
  void expect(TokenKind kind, const std::string& what) {
    if (!accept(kind)) unexpected(what);
  }

  static std::string shown(const Token& t) { return "\"" + std::string(t.source) + "\""; }

  [[noreturn]] void fail(const std::string& what) const { fail(peek().position, what); }
  [[noreturn]] void fail(const Position& position, const std::string& what) const {
    throw Error(ErrorKind::Syntax, syntaxMessage(clause_, position, what));
  }
  [[noreturn]] void unexpected(const std::string& expected) const {
    if (peek().kind == TokenKind::End) fail("expected " + expected + ", but the statement ends");
    fail("expected " + expected + ", found " + shown(peek()));
  }

  // Sets the clause named in syntax errors for the length of a scope.
  class Clause {
   public:
    Clause(Parser& p, const char* name) : p_(p), saved_(p.clause_) { p.clause_ = name; }
    ~Clause() { p_.clause_ = saved_; }

   private:
    Parser& p_;
    const char* saved_;
  };

  class Depth {
   public:
    explicit Depth(Parser& p) : p_(p) {
      if (++p.depth_ > kMaxDepth) p.fail("the statement is nested too deeply");
    }
    ~Depth() { --p_.depth_; }

   private:
    Parser& p_;
  };

  // A clause ends at the end of the statement, a ")" or the next keyword;
  // anything else is a missing operator or comma.
  void clauseEnd(const char* expected) const {
    const Token& t = peek();
    if (t.kind == TokenKind::End || t.kind == TokenKind::Semicolon || t.kind == TokenKind::RightParen) return;
    if (t.kind == TokenKind::Word && reserved(t.value)) return;
    unexpected(expected);
  }

  bool isNameToken(std::size_t ahead = 0) const {
    const Token& t = peek(ahead);
    return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !reserved(t.value));
  }

  std::string name(const char* what) {
    if (!isNameToken()) unexpected(what);
    return take().value;
  }

  // --- statements -----------------------------------------------------
  void parameters(Statement& s) {
    Clause c(*this, "the PARAMETERS declaration");
    do {
      ParameterDeclaration p;
      p.position = peek().position;
      p.name = namePath("a parameter name");
      p.type = typeName(nullptr);
      s.parameters.push_back(std::move(p));
    } while (accept(TokenKind::Comma));
    expect(TokenKind::Semicolon, "\";\" after the parameters");
  }

  // A name of several parts as one text: [Forms]![Orders]![OrderID] is
  // "Forms!Orders!OrderID".
  std::string namePath(const char* what) {
    std::string path = name(what);
    while ((peek().kind == TokenKind::Dot || peek().kind == TokenKind::Bang) && isNameToken(1)) {
      path += take().kind == TokenKind::Dot ? '.' : '!';
      path += take().value;
    }
    return path;
  }

  ValueType typeName(bool* autoNumber) {
    const Position position = peek().position;
    if (peek().kind != TokenKind::Word) unexpected("a type name");
    std::string type = take().value;
    // Two-word type names.
    if ((sameWord(type, "DOUBLE") && isWord("PRECISION")) || (sameWord(type, "CHARACTER") && isWord("VARYING"))) take();
    int size = 0, scale = 0;
    if (accept(TokenKind::LeftParen)) {
      size = count("a size");
      if (accept(TokenKind::Comma)) scale = count("a scale");
      expect(TokenKind::RightParen, "\")\"");
    }
    ValueType result;
    bool counter = false;
    if (!typeFromName(type, size, scale, result, counter)) fail(position, "\"" + type + "\" is not a type name");
    if (counter && !autoNumber) fail(position, "a parameter can't be an autonumber");
    if (autoNumber) *autoNumber = counter;
    return result;
  }

  int count(const char* what) {
    if (peek().kind != TokenKind::Integer || peek().value.size() > 9) unexpected(what);
    return std::stoi(take().value);
  }

  void insert(Statement& s) {
    Clause c(*this, "the INSERT INTO statement");
    expectWord("INTO");
    tableName(s);
    if (peek().kind == TokenKind::LeftParen && !isWord("SELECT", 1)) {
      take();
      do {
        IndexColumn column;
        column.position = peek().position;
        column.name = columnName();
        s.columns.push_back(std::move(column));
      } while (accept(TokenKind::Comma));
      expect(TokenKind::RightParen, "\")\" after the column names");
    }
    if (word("VALUES")) {
      s.kind = Statement::Kind::InsertValues;
      Clause v(*this, "the VALUES clause");
      expect(TokenKind::LeftParen, "\"(\"");
      do s.values.push_back(expression());
      while (accept(TokenKind::Comma));
      expect(TokenKind::RightParen, "\")\" after the values");
    } else if (isWord("SELECT") || peek().kind == TokenKind::LeftParen) {
      s.kind = Statement::Kind::InsertSelect;
      s.query = query();
    } else {
      unexpected("VALUES or SELECT");
    }
  }

  // table.column or column, as INSERT, UPDATE and CREATE INDEX name them;
  // the table part is checked later.
  std::string columnName() {
    std::string last = name("a column name");
    while ((peek().kind == TokenKind::Dot || peek().kind == TokenKind::Bang) && isNameToken(1)) {
      take();
      last = take().value;
    }
    return last;
  }

  void update(Statement& s) {
    s.kind = Statement::Kind::Update;
    {
      Clause c(*this, "the UPDATE statement");
      s.target = std::make_unique<FromItem>(joined());
    }
    {
      Clause c(*this, "the SET clause");
      expectWord("SET");
      do {
        Assignment a;
        a.target = expression();
        if (a.target->kind != ExprKind::Compare || a.target->op != Op::Equal || a.target->quantifier != Quantifier::None)
          fail(a.target->position, "expected a column = value");
        // The parser reads "a = b" as a comparison: split it.
        a.value = std::move(a.target->operands[1]);
        a.target = std::move(a.target->operands[0]);
        if (a.target->kind != ExprKind::Name) fail(a.target->position, "expected a column name before \"=\"");
        s.assignments.push_back(std::move(a));
      } while (accept(TokenKind::Comma));
      clauseEnd("\",\" or WHERE");
    }
    s.where = whereClause();
  }

  void remove(Statement& s) {
    s.kind = Statement::Kind::Delete;
    {
      Clause c(*this, "the DELETE statement");
      word("DISTINCTROW");
      if (accept(TokenKind::Star)) {
      } else if (isNameToken() && (peek(1).kind == TokenKind::Dot || peek(1).kind == TokenKind::Bang) &&
                 peek(2).kind == TokenKind::Star) {
        s.deleteTable = take().value;
        take();
        take();
      } else if (!isWord("FROM")) {
        // DELETE t.a, t.b FROM t: the columns say which table loses rows.
        do {
          ExprPtr column = primary();
          if (column->kind != ExprKind::Name) fail(column->position, "expected a table name and \".*\"");
          if (column->parts.size() > 1 && s.deleteTable.empty()) s.deleteTable = column->parts.front();
        } while (accept(TokenKind::Comma));
      }
    }
    {
      Clause c(*this, "the FROM clause");
      expectWord("FROM");
      do s.from.push_back(joined());
      while (accept(TokenKind::Comma));
      clauseEnd("\",\" or WHERE");
    }
    s.where = whereClause();
  }

  // The table a statement changes or defines, and where it is named.
  void tableName(Statement& s) {
    s.tablePosition = peek().position;
    s.table = name("a table name");
  }

  // WHERE and its condition, if the statement has one.
  ExprPtr whereClause() {
    if (!word("WHERE")) return nullptr;
    Clause c(*this, "the WHERE clause");
    ExprPtr condition = expression();
    clauseEnd("an operator");
    return condition;
  }

  void create(Statement& s) {
    if (word("TABLE")) {
      Clause c(*this, "the CREATE TABLE statement");
      s.kind = Statement::Kind::CreateTable;
      tableName(s);
      expect(TokenKind::LeftParen, "\"(\" before the columns");
      do {
        if (word("CONSTRAINT")) {
          name("a constraint name");
          tableConstraint(s);
        } else if (isWord("PRIMARY") || isWord("UNIQUE")) {
          tableConstraint(s);
        } else {
          s.definitions.push_back(columnDefinition());
        }
      } while (accept(TokenKind::Comma));
      expect(TokenKind::RightParen, "\")\" after the columns");
      return;
    }
    Clause c(*this, "the CREATE INDEX statement");
    s.kind = Statement::Kind::CreateIndex;
    s.unique = word("UNIQUE");
    if (!word("INDEX")) unexpected(s.unique ? "INDEX" : "TABLE or INDEX");
    s.index = name("an index name");
    expectWord("ON");
    tableName(s);
    indexColumns(s.columns);
    if (word("WITH")) {
      do {
        if (word("PRIMARY")) {
          s.primary = true;
        } else if (word("DISALLOW") || word("IGNORE")) {
          expectWord("NULL");
        } else {
          unexpected("PRIMARY, DISALLOW NULL or IGNORE NULL");
        }
      } while (isWord("PRIMARY") || isWord("DISALLOW") || isWord("IGNORE"));
    }
  }

  void indexColumns(std::vector<IndexColumn>& columns) {
    expect(TokenKind::LeftParen, "\"(\" before the columns");
    do {
      IndexColumn column;
      column.position = peek().position;
      column.name = name("a column name");
      if (word("DESC"))
        column.descending = true;
      else
        word("ASC");
      columns.push_back(std::move(column));
    } while (accept(TokenKind::Comma));
    expect(TokenKind::RightParen, "\")\" after the columns");
  }

  void tableConstraint(Statement& s) {
    std::vector<IndexColumn> columns;
    const bool primary = word("PRIMARY");
    if (primary)
      expectWord("KEY");
    else if (!word("UNIQUE"))
      unexpected("PRIMARY KEY or UNIQUE");
    indexColumns(columns);
    for (const IndexColumn& column : columns) {
      auto it = std::find_if(s.definitions.begin(), s.definitions.end(),
                             [&](const ColumnDefinition& d) { return sameWord(d.name, column.name); });
      if (it == s.definitions.end()) fail(column.position, "\"" + column.name + "\" is not a column of the table");
      (primary ? it->primaryKey : it->unique) = true;
    }
  }

  ColumnDefinition columnDefinition() {
    ColumnDefinition d;
    d.position = peek().position;
    d.name = name("a column name");
    d.type = typeName(&d.autoNumber);
    for (;;) {
      if (word("NOT")) {
        expectWord("NULL");
        d.notNull = true;
      } else if (word("NULL")) {
      } else if (word("PRIMARY")) {
        expectWord("KEY");
        d.primaryKey = true;
      } else if (word("UNIQUE")) {
        d.unique = true;
      } else if (word("CONSTRAINT")) {
        name("a constraint name");
      } else {
        break;
      }
    }
    return d;
  }

  void drop(Statement& s) {
    if (word("TABLE")) {
      Clause c(*this, "the DROP TABLE statement");
      s.kind = Statement::Kind::DropTable;
      tableName(s);
      return;
    }
    Clause c(*this, "the DROP INDEX statement");
    if (!word("INDEX")) unexpected("TABLE or INDEX");
    s.kind = Statement::Kind::DropIndex;
    s.index = name("an index name");
    expectWord("ON");
    tableName(s);
  }

  void alter(Statement& s) {
    Clause c(*this, "the ALTER TABLE statement");
    expectWord("TABLE");
    tableName(s);
    if (word("ADD")) {
      word("COLUMN");
      s.kind = Statement::Kind::AlterAddColumn;
      s.definitions.push_back(columnDefinition());
    } else if (word("DROP")) {
      word("COLUMN");
      s.kind = Statement::Kind::AlterDropColumn;
      IndexColumn column;
      column.position = peek().position;
      column.name = name("a column name");
      s.columns.push_back(std::move(column));
    } else {
      unexpected("ADD COLUMN or DROP COLUMN");
    }
  }

  // --- queries --------------------------------------------------------
  static const Select& firstSelect(const Query& q) { return q.select ? *q.select : firstSelect(*q.parts.front()); }

  QueryPtr query() {
    Depth depth(*this);
    auto q = std::make_unique<Query>();
    q->position = peek().position;
    QueryPtr first = queryTerm();
    if (!isWord("UNION")) {
      q = std::move(first);
    } else {
      q->parts.push_back(std::move(first));
      while (word("UNION")) {
        q->all.push_back(word("ALL"));
        q->parts.push_back(queryTerm());
      }
    }
    if (isWord("ORDER")) {
      if (!q->orderBy.empty()) fail("the query already has an ORDER BY");
      orderBy(*q);
      if (isWord("UNION")) {
        Clause c(*this, "the ORDER BY clause");
        fail("ORDER BY belongs after the last SELECT of a UNION");
      }
    }
    if (word("WITH")) {
      Clause c(*this, "the statement");
      expectWord("OWNERACCESS");
      expectWord("OPTION");
    }
    return q;
  }

  // A SELECT, or a query in parentheses (with its own ORDER BY).
  QueryPtr queryTerm() {
    if (peek().kind == TokenKind::LeftParen) {
      Depth depth(*this);
      take();
      QueryPtr inner = query();
      expect(TokenKind::RightParen, "\")\" after the query");
      return inner;
    }
    auto q = std::make_unique<Query>();
    q->position = peek().position;
    q->select = select();
    return q;
  }

  void orderBy(Query& q) {
    Clause c(*this, "the ORDER BY clause");
    expectWord("ORDER");
    expectWord("BY");
    do {
      OrderItem item;
      item.expr = expression();
      if (word("DESC"))
        item.descending = true;
      else
        word("ASC");
      q.orderBy.push_back(std::move(item));
    } while (accept(TokenKind::Comma));
    clauseEnd("\",\" or an operator");
  }

  std::unique_ptr<Select> select() {
    auto s = std::make_unique<Select>();
    {
      Clause c(*this, "the SELECT clause");
      s->position = peek().position;
      expectWord("SELECT");
      for (;;) {
        if (word("DISTINCT")) {
          s->distinct = true;
        } else if (word("DISTINCTROW")) {
          s->distinctRow = true;
        } else if (word("ALL")) {
        } else if (isWord("TOP")) {
          Top top;
          top.position = take().position;
          if (peek().kind != TokenKind::Integer) unexpected("a number of rows after TOP");
          top.count = take().value;
          top.percent = word("PERCENT");
          s->top = std::move(top);
        } else {
          break;
        }
      }
      do s->items.push_back(selectItem());
      while (accept(TokenKind::Comma));
      clauseEnd("\",\" or FROM");
      if (word("INTO")) {
        s->intoPosition = peek().position;
        s->into = name("a table name after INTO");
        if (word("IN")) {
          fail(s->intoPosition, "a table in another database can't be made");
        }
      }
    }
    if (word("FROM")) {
      Clause c(*this, "the FROM clause");
      do s->from.push_back(joined());
      while (accept(TokenKind::Comma));
      clauseEnd("\",\" or JOIN");
    }
    s->where = whereClause();
    if (isWord("GROUP")) {
      Clause c(*this, "the GROUP BY clause");
      take();
      expectWord("BY");
      do s->groupBy.push_back(expression());
      while (accept(TokenKind::Comma));
      clauseEnd("\",\" or an operator");
    }
    if (word("HAVING")) {
      Clause c(*this, "the HAVING clause");
      s->having = expression();
      clauseEnd("an operator");
    }
    return s;
  }

  SelectItem selectItem() {
    SelectItem item;
    item.position = peek().position;
    if (accept(TokenKind::Star)) {
      item.isStar = true;
      return item;
    }
    // t.* and [t].*
    std::size_t ahead = 0;
    while (isNameToken(ahead) && (peek(ahead + 1).kind == TokenKind::Dot || peek(ahead + 1).kind == TokenKind::Bang))
      ahead += 2;
    if (ahead > 0 && peek(ahead).kind == TokenKind::Star) {
      for (std::size_t i = 0; i < ahead; i += 2) {
        item.star.push_back(take().value);
        take();
      }
      take();
      item.isStar = true;
      return item;
    }
    item.expr = expression();
    if (word("AS")) {
      item.alias = name("a column name after AS");
    }
    return item;
  }

  // table, (join), (SELECT …) AS alias, joined by INNER/LEFT/RIGHT JOIN.
  FromItem joined() {
    Depth depth(*this);
    FromItem left = source();
    for (;;) {
      JoinKind kind;
      const Position position = peek().position;
      if (word("INNER")) {
        kind = JoinKind::Inner;
      } else if (word("LEFT")) {
        word("OUTER");
        kind = JoinKind::Left;
      } else if (word("RIGHT")) {
        word("OUTER");
        kind = JoinKind::Right;
      } else if (isWord("JOIN")) {
        unexpected("INNER, LEFT or RIGHT before JOIN");
      } else {
        return left;
      }
      expectWord("JOIN");
      FromItem join;
      join.kind = FromItem::Kind::Join;
      join.position = position;
      join.join = kind;
      join.left = std::make_unique<FromItem>(std::move(left));
      join.right = std::make_unique<FromItem>(source());
      expectWord("ON");
      join.on = expression();
      left = std::move(join);
    }
  }

  FromItem source() {
    FromItem item;
    item.position = peek().position;
    if (peek().kind == TokenKind::LeftParen) {
      if (isWord("SELECT", 1) || (peek(1).kind == TokenKind::LeftParen && isWord("SELECT", 2))) {
        take();
        item.kind = FromItem::Kind::Subquery;
        {
          Clause c(*this, "a subquery");
          item.query = query();
        }
        expect(TokenKind::RightParen, "\")\" after the subquery");
        item.alias = alias();
        return item;
      }
      take();
      FromItem inner = joined();
      expect(TokenKind::RightParen, "\")\"");
      return inner;
    }
    if (peek().kind == TokenKind::QuotedName && peek(1).kind == TokenKind::Dot && sameWord(firstWord(peek().value), "SELECT")) {
      // Access writes a subquery of a saved query as [SELECT …]. AS alias.
      const Token& quoted = take();
      take();
      item.kind = FromItem::Kind::Subquery;
      item.query = subqueryText(quoted);
      item.alias = alias();
      return item;
    }
    item.name = name("a table or query name");
    if (word("IN")) {
      if (peek().kind != TokenKind::Text) unexpected("the name of a database in quotes after IN");
      item.database = take().value;
      if (peek().kind == TokenKind::QuotedName) take();
    }
    item.alias = alias();
    return item;
  }

  static std::string firstWord(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return {};
    std::size_t end = text.find_first_of(" \t\r\n(", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }

  QueryPtr subqueryText(const Token& quoted) {
    std::vector<Token> inner = tokenize(quoted.value);
    // Positions inside the brackets count from the bracket's place.
    for (Token& t : inner) {
      if (t.position.line == 1) t.position.column += quoted.position.column;
      t.position.line += quoted.position.line - 1;
    }
    Parser nested(std::move(inner));
    nested.clause_ = "a subquery";
    nested.depth_ = depth_;
    QueryPtr q = nested.query();
    if (nested.peek().kind != TokenKind::End) nested.unexpected("the end of the subquery");
    return q;
  }

  std::string alias() {
    if (word("AS")) return name("a name after AS");
    if (isNameToken()) return take().value;
    return {};
  }

  // --- expressions ----------------------------------------------------
  ExprPtr node(ExprKind kind, const Position& position) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->position = position;
    return e;
  }

  ExprPtr binary(Op op, ExprPtr left, ExprPtr right, const Position& position, ExprKind kind = ExprKind::Binary) {
    ExprPtr e = node(kind, position);
    e->op = op;
    e->operands.push_back(std::move(left));
    e->operands.push_back(std::move(right));
    return e;
  }

  ExprPtr expression() {
    Depth depth(*this);
    return logical(0);
  }

  // Imp, Eqv, Xor, Or, And: loosest first.
  ExprPtr logical(int level) {
    static constexpr std::array<std::pair<const char*, Op>, 5> kLevels = {
        {{"IMP", Op::Imp}, {"EQV", Op::Eqv}, {"XOR", Op::Xor}, {"OR", Op::Or}, {"AND", Op::And}}};
    if (level == static_cast<int>(kLevels.size())) return negation();
    ExprPtr left = logical(level + 1);
    while (isWord(kLevels[level].first)) {
      const Position position = take().position;
      left = binary(kLevels[level].second, std::move(left), logical(level + 1), position);
    }
    return left;
  }

  ExprPtr negation() {
    if (isWord("NOT")) {
      Depth depth(*this);
      ExprPtr e = node(ExprKind::Not, take().position);
      e->operands.push_back(negation());
      return e;
    }
    return comparison();
  }

  ExprPtr comparison() {
    ExprPtr left = arithmetic();
    for (;;) {
      const Position position = peek().position;
      Op op;
      switch (peek().kind) {
        case TokenKind::Equal: op = Op::Equal; break;
        case TokenKind::NotEqual: op = Op::NotEqual; break;
        case TokenKind::Less: op = Op::Less; break;
        case TokenKind::Greater: op = Op::Greater; break;
        case TokenKind::LessEqual: op = Op::LessEqual; break;
        case TokenKind::GreaterEqual: op = Op::GreaterEqual; break;
        default: {
          bool negated = false;
          if (isWord("NOT") && (isWord("LIKE", 1) || isWord("BETWEEN", 1) || isWord("IN", 1))) {
            take();
            negated = true;
          }
          if (word("LIKE")) {
            left = binary(Op::Equal, std::move(left), arithmetic(), position, ExprKind::Like);
            left->negated = negated;
            continue;
          }
          if (word("BETWEEN")) {
            ExprPtr e = node(ExprKind::Between, position);
            e->negated = negated;
            e->operands.push_back(std::move(left));
            e->operands.push_back(arithmetic());
            expectWord("AND");
            e->operands.push_back(arithmetic());
            left = std::move(e);
            continue;
          }
          if (word("IN")) {
            left = in(std::move(left), position, negated);
            continue;
          }
          if (word("IS")) {
            ExprPtr e = node(ExprKind::IsNull, position);
            e->negated = word("NOT");
            expectWord("NULL");
            e->operands.push_back(std::move(left));
            left = std::move(e);
            continue;
          }
          return left;
        }
      }
      take();
      ExprPtr e = node(ExprKind::Compare, position);
      e->op = op;
      e->operands.push_back(std::move(left));
      if (isWord("ANY") || isWord("SOME") || isWord("ALL")) {
        e->quantifier = isWord("ALL") ? Quantifier::All : Quantifier::Any;
        take();
        e->query = parenthesizedQuery();
      } else {
        e->operands.push_back(arithmetic());
      }
      left = std::move(e);
    }
  }

  ExprPtr in(ExprPtr left, const Position& position, bool negated) {
    ExprPtr e = node(ExprKind::In, position);
    e->negated = negated;
    e->operands.push_back(std::move(left));
    if (peek().kind == TokenKind::LeftParen && isWord("SELECT", 1)) {
      e->query = parenthesizedQuery();
      return e;
    }
    expect(TokenKind::LeftParen, "\"(\" after IN");
    do e->operands.push_back(expression());
    while (accept(TokenKind::Comma));
    expect(TokenKind::RightParen, "\")\" after the values of IN");
    return e;
  }

  QueryPtr parenthesizedQuery() {
    Depth depth(*this);
    expect(TokenKind::LeftParen, "\"(\" before the subquery");
    QueryPtr q;
    {
      Clause c(*this, "a subquery");
      q = query();
    }
    expect(TokenKind::RightParen, "\")\" after the subquery");
    return q;
  }

  // &, + and -, Mod, \, * and /: loosest first, each level's operands the
  // next level's.
  static constexpr int kArithmeticLevels = 5;

  std::optional<Op> arithmeticOperator(int level) const {
    const TokenKind k = peek().kind;
    switch (level) {
      case 0: return k == TokenKind::Ampersand ? std::optional(Op::Concat) : std::nullopt;
      case 1: return k == TokenKind::Plus ? std::optional(Op::Add) : k == TokenKind::Minus ? std::optional(Op::Subtract) : std::nullopt;
      case 2: return isWord("MOD") ? std::optional(Op::Mod) : std::nullopt;
      case 3: return k == TokenKind::Backslash ? std::optional(Op::IntDivide) : std::nullopt;
      default: return k == TokenKind::Star ? std::optional(Op::Multiply) : k == TokenKind::Slash ? std::optional(Op::Divide) : std::nullopt;
    }
  }

  ExprPtr arithmetic(int level = 0) {
    if (level == kArithmeticLevels) return unary();
    ExprPtr left = arithmetic(level + 1);
    while (const auto op = arithmeticOperator(level)) {
      const Position position = take().position;
      left = binary(*op, std::move(left), arithmetic(level + 1), position);
    }
    return left;
  }

  ExprPtr unary() {
    if (peek().kind == TokenKind::Minus || peek().kind == TokenKind::Plus) {
      Depth depth(*this);
      const Token& t = take();
      ExprPtr e = node(t.kind == TokenKind::Minus ? ExprKind::Negate : ExprKind::Plus, t.position);
      e->operands.push_back(unary());
      return e;
    }
    return power();
  }

  // ^ binds tighter than a sign: -2^2 is -4.
  ExprPtr power() {
    ExprPtr left = primary();
    while (peek().kind == TokenKind::Caret) {
      const Position position = take().position;
      ExprPtr right;
      if (peek().kind == TokenKind::Minus || peek().kind == TokenKind::Plus) {
        Depth depth(*this);
        const Token& t = take();
        right = node(t.kind == TokenKind::Minus ? ExprKind::Negate : ExprKind::Plus, t.position);
        right->operands.push_back(primary());
      } else {
        right = primary();
      }
      left = binary(Op::Power, std::move(left), std::move(right), position);
    }
    return left;
  }

  ExprPtr primary() {
    const Token& t = peek();
    const Position position = t.position;
    switch (t.kind) {
      case TokenKind::Integer:
      case TokenKind::Number:
      case TokenKind::Text:
      case TokenKind::Date: {
        static constexpr ExprKind kinds[] = {ExprKind::Integer, ExprKind::Number, ExprKind::Text, ExprKind::Date};
        ExprPtr e = node(kinds[t.kind == TokenKind::Integer ? 0 : t.kind == TokenKind::Number ? 1
                                 : t.kind == TokenKind::Text  ? 2 : 3], position);
        e->text = take().value;
        return e;
      }
      case TokenKind::Question: {
        take();
        ExprPtr e = node(ExprKind::Parameter, position);
        e->integer = ++positional_;
        return e;
      }
      case TokenKind::LeftParen: {
        Depth depth(*this);
        if (isWord("SELECT", 1)) {
          ExprPtr e = node(ExprKind::Subquery, position);
          e->query = parenthesizedQuery();
          return e;
        }
        take();
        ExprPtr inner = expression();
        expect(TokenKind::RightParen, "\")\"");
        return inner;
      }
      case TokenKind::Word: {
        if (isWord("NULL")) {
          take();
          return node(ExprKind::Null, position);
        }
        for (const char* w : {"TRUE", "YES", "ON"})
          if (isWord(w) && peek(1).kind != TokenKind::LeftParen) {
            take();
            ExprPtr e = node(ExprKind::Boolean, position);
            e->integer = -1;
            return e;
          }
        for (const char* w : {"FALSE", "NO", "OFF"})
          if (isWord(w) && peek(1).kind != TokenKind::LeftParen) {
            take();
            ExprPtr e = node(ExprKind::Boolean, position);
            e->integer = 0;
            return e;
          }
        if (isWord("EXISTS")) {
          take();
          ExprPtr e = node(ExprKind::Exists, position);
          e->query = parenthesizedQuery();
          return e;
        }
        // Left(), Right() and Asc() share their names with keywords.
        const bool function =
            peek(1).kind == TokenKind::LeftParen && (isWord("LEFT") || isWord("RIGHT") || isWord("ASC"));
        if (reserved(t.value) && !function) unexpected("a value or a column name");
        if (peek(1).kind == TokenKind::LeftParen) return call();
        return namePathExpr();
      }
      case TokenKind::QuotedName: return namePathExpr();
      default: unexpected("a value or a column name");
    }
  }

  ExprPtr call() {
    Depth depth(*this);
    ExprPtr e = node(ExprKind::Call, peek().position);
    e->name = take().value;
    take();  // (
    if (peek().kind == TokenKind::Star) {
      take();
      e->star = true;
    } else if (peek().kind != TokenKind::RightParen) {
      if (isWord("DISTINCT")) fail("DISTINCT can't be used inside " + e->name + "(); use SELECT DISTINCT in a subquery");
      do e->operands.push_back(expression());
      while (accept(TokenKind::Comma));
    }
    expect(TokenKind::RightParen, "\")\" after the arguments of " + e->name);
    return e;
  }

  ExprPtr namePathExpr() {
    ExprPtr e = node(ExprKind::Name, peek().position);
    e->parts.push_back(take().value);
    while ((peek().kind == TokenKind::Dot || peek().kind == TokenKind::Bang)) {
      const bool dot = peek().kind == TokenKind::Dot;
      if (!isNameToken(1)) {
        // "t.*" belongs to SELECT lists only
        take();
        unexpected("a column name after \"" + std::string(dot ? "." : "!") + "\"");
      }
      take();
      e->separators += dot ? '.' : '!';
      e->parts.push_back(take().value);
    }
    return e;
  }

  std::vector<Token> tokens_;
  std::size_t index_ = 0;
  const char* clause_ = "the statement";
  int depth_ = 0;
  long long positional_ = 0;
};

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool typeFromName(std::string_view name, int size, int scale, ValueType& type, bool& autoNumber) {
  const std::string n = upper(name);
  const auto is = [&](std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* x) { return n == x; });
  };
  autoNumber = false;
  type = ValueType{};
  if (is({"BIT", "YESNO", "BOOLEAN", "LOGICAL", "LOGICAL1"})) {
    type.kind = Kind::Boolean;
  } else if (is({"BYTE", "TINYINT", "INTEGER1"})) {
    type.kind = Kind::Byte;
  } else if (is({"SHORT", "SMALLINT", "INTEGER2"})) {
    type.kind = Kind::Integer;
  } else if (is({"LONG", "INTEGER", "INT", "INTEGER4"})) {
    type.kind = Kind::Long;
  } else if (is({"COUNTER", "AUTOINCREMENT", "IDENTITY"})) {
    type.kind = Kind::Long;
    autoNumber = true;
  } else if (is({"CURRENCY", "MONEY"})) {
    type.kind = Kind::Currency;
  } else if (is({"SINGLE", "REAL", "FLOAT4", "IEEESINGLE"})) {
    type.kind = Kind::Single;
  } else if (is({"DOUBLE", "FLOAT", "FLOAT8", "IEEEDOUBLE", "NUMBER"})) {
    type.kind = Kind::Double;
  } else if (is({"DATETIME", "DATE", "TIME", "TIMESTAMP"})) {
    type.kind = Kind::DateTime;
  } else if (is({"TEXT", "CHAR", "VARCHAR", "CHARACTER", "STRING", "ALPHANUMERIC", "NCHAR", "NVARCHAR"})) {
    type.kind = Kind::Text;
    type.size = size > 0 ? size : 255;
    if (type.size > 255) return false;
  } else if (is({"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT"})) {
    type.kind = Kind::Memo;
  } else if (is({"BINARY", "VARBINARY"})) {
    type.kind = Kind::Binary;
    type.size = size > 0 ? size : 255;
    if (type.size > 255) return false;
  } else if (is({"LONGBINARY", "OLEOBJECT", "GENERAL", "IMAGE"})) {
    type.kind = Kind::OLE;
  } else if (is({"GUID", "UNIQUEIDENTIFIER"})) {
    type.kind = Kind::Guid;
  } else if (is({"DECIMAL", "NUMERIC", "DEC"})) {
    type.kind = Kind::Decimal;
    type.precision = size > 0 ? size : 18;
    type.scale = scale;
    if (type.precision > 28 || type.scale > type.precision) return false;
  } else if (is({"VALUE", "VARIANT"})) {
    type.kind = Kind::Variant;
  } else {
    return false;
  }
  return true;
}

Statement parse(std::string_view sql) { return Parser(tokenize(sql)).statement(); }

}  // namespace jet::sql
