// Expressions: names resolved, literals read, operators given Access's
// types and semantics.

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "dates.h"
#include "jet/sql/error.h"
#include "messages.h"
#include "text_order.h"
#include "translator.h"

namespace jet::sql {

using namespace ast;

namespace {

bool integerKind(Kind k) { return k == Kind::Boolean || k == Kind::Byte || k == Kind::Integer || k == Kind::Long; }

// Access's order of precision for + and -: a sum takes the type of its
// more precise operand.
int additiveRank(Kind k) {
  switch (k) {
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long: return 1;
    case Kind::Single: return 2;
    case Kind::Double: return 3;
    case Kind::Currency: return 4;
    case Kind::Decimal: return 5;
    default: return 0;
  }
}

// For *: Currency ranks below Double.
int multiplicativeRank(Kind k) {
  switch (k) {
    case Kind::Currency: return 2;
    case Kind::Single: return 3;
    case Kind::Double: return 4;
    default: return additiveRank(k);
  }
}

ValueType asDecimal(const ValueType& t) {
  switch (t.kind) {
    case Kind::Decimal: return t;
    case Kind::Currency: return {Kind::Decimal, 0, 19, 4};
    case Kind::Long: return {Kind::Decimal, 0, 10, 0};
    case Kind::Integer: return {Kind::Decimal, 0, 5, 0};
    // A binary number has no scale of its own: keep what a double shows.
    case Kind::Single:
    case Kind::Double: return {Kind::Decimal, 0, 28, 15};
    default: return {Kind::Decimal, 0, 3, 0};
  }
}

Term constant(std::string sql, ValueType type) {
  Term t;
  t.sql = std::move(sql);
  t.type = type;
  return t;
}

// What two operands carry into the term made of them.
void inherit(Term& into, const Term& a, const Term& b) {
  into.aggregate = a.aggregate || b.aggregate;
  into.freeColumns = a.freeColumns;
  into.freeColumns.insert(into.freeColumns.end(), b.freeColumns.begin(), b.freeColumns.end());
}

// A truth value made of other terms.
Term truth(std::string sql, std::initializer_list<const Term*> parts) {
  Term t;
  for (const Term* p : parts) {
    t.aggregate = t.aggregate || p->aggregate;
    t.freeColumns.insert(t.freeColumns.end(), p->freeColumns.begin(), p->freeColumns.end());
  }
  t.sql = std::move(sql);
  t.type = {Kind::Boolean};
  t.condition = true;
  return t;
}

std::string mismatch(const ValueType& a, const ValueType& b) {
  return std::string("Data type mismatch: a ") + typeName(a.kind) + " value can't be compared with a " +
         typeName(b.kind) + " value";
}

}  // namespace

Term Translator::column(const Source& source, std::size_t i) {
  const OutputColumn& c = source.columns[i];
  Term t;
  t.sql = source.columnSql[i];
  t.type = c.type;
  t.origin = c.origin;
  t.columnName = c.name;
  t.sourceName = source.name;
  t.definition = &c.definition;
  return t;
}

Term Translator::expression(const Expr& expr, Scope& scope) {
  Term t = expressionOf(expr, scope);
  // A grouped query may use what it groups by, whatever columns it holds.
  if (scope.grouped && !t.freeColumns.empty() &&
      std::find(scope.groupKeys.begin(), scope.groupKeys.end(), t.sql) != scope.groupKeys.end())
    t.freeColumns.clear();
  return t;
}

Term Translator::literal(const Expr& expr) {
  Term t;
  t.literal = true;
  switch (expr.kind) {
    case ExprKind::Null: t = constant("NULL", {Kind::Null}); break;
    case ExprKind::Boolean: t = constant(std::to_string(expr.integer), {Kind::Boolean}); break;
    case ExprKind::Integer: {
      long long value = 0;
      const auto r = std::from_chars(expr.text.data(), expr.text.data() + expr.text.size(), value);
      if (r.ec == std::errc() && value <= 2147483647LL) {
        t = constant(expr.text, {Kind::Long});
      } else if (r.ec == std::errc()) {
        t = constant(expr.text, {Kind::Double});
      } else {
        t = constant(sqlReal(std::strtod(expr.text.c_str(), nullptr)), {Kind::Double});
      }
      t.literalText = expr.text;
      break;
    }
    case ExprKind::Number:
      t = constant(sqlReal(std::strtod(expr.text.c_str(), nullptr)), {Kind::Double});
      t.literalText = expr.text;
      break;
    case ExprKind::Text:
      t = constant(sqlText(expr.text), {Kind::Text, 255});
      t.literalText = expr.text;
      break;
    case ExprKind::Date: {
      const auto days = parseDate(expr.text, DateOrder::MonthFirst);
      if (!days)
        throw Error(ErrorKind::Syntax, "Syntax error in the date #" + expr.text + "#" + at(expr.position) +
                                           ": write it as #month/day/year# or #year-month-day#");
      t = constant(sqlReal(*days), {Kind::DateTime});
      break;
    }
    default: break;
  }
  t.literal = true;
  return t;
}

Term Translator::parameter(const std::string& name, const Position& position) {
  const std::string folded = foldText(name);
  auto declared = declared_.find(folded);
  ParameterUse use = declared != declared_.end() ? declared->second : ParameterUse{name, {Kind::Variant}, false, position, {}};
  if (std::none_of(parameters_.begin(), parameters_.end(),
                   [&](const ParameterUse& p) { return foldText(p.name) == folded; }))
    parameters_.push_back(use);
  return constant("jet_param(" + sqlText(folded) + ")", use.type);
}

Term Translator::name(const Expr& expr, Scope& scope) {
  std::string full = expr.parts[0];
  for (std::size_t i = 1; i < expr.parts.size(); ++i) {
    full += expr.separators[i - 1];
    full += expr.parts[i];
  }
  const auto columnTerm = [&](Source& source, std::size_t i, bool own) {
    Term t = column(source, i);
    if (own && !scope.insideAggregate) t.freeColumns.push_back(t.sql);
    if (own && scope.selecting) source.used = true;
    return t;
  };
  const auto columnIndex = [](const Source& source, const std::string& column) {
    const std::string folded = foldText(column);
    for (std::size_t i = 0; i < source.columns.size(); ++i)
      if (foldText(source.columns[i].name) == folded) return static_cast<long>(i);
    return -1L;
  };

  if (expr.parts.size() == 1) {
    for (Scope* s = &scope; s; s = s->outer) {
      Source* found = nullptr;
      long index = -1;
      for (Source& source : s->sources) {
        const long i = columnIndex(source, expr.parts[0]);
        if (i < 0) continue;
        if (found)
          throw Error(ErrorKind::InvalidQuery, "The column " + quote(expr.parts[0]) + " is in more than one table (" +
                                                   found->name + ", " + source.name +
                                                   "); write the table's name before it" + at(expr.position));
        found = &source;
        index = i;
      }
      if (found) return columnTerm(*found, static_cast<std::size_t>(index), s == &scope);
      // An alias of the select list stands for its expression.
      if (s == &scope && s->items) {
        const std::string folded = foldText(expr.parts[0]);
        for (const SelectItem& item : *s->items) {
          if (item.alias.empty() || foldText(item.alias) != folded) continue;
          if (!s->expanding.insert(folded).second)
            throw Error(ErrorKind::InvalidQuery,
                        "The column " + quote(item.alias) + " is defined by itself" + at(expr.position));
          Term t = expression(*item.expr, *s);
          s->expanding.erase(folded);
          t.sql = "(" + t.sql + ")";
          t.columnName.clear();
          return t;
        }
      }
    }
  } else if (expr.parts.size() == 2) {
    const std::string table = foldText(expr.parts[0]);
    for (Scope* s = &scope; s; s = s->outer) {
      for (Source& source : s->sources) {
        if (foldText(source.name) != table) continue;
        const long i = columnIndex(source, expr.parts[1]);
        if (i < 0)
          throw Error(ErrorKind::UnknownColumn, "Unknown column " + quote(full) + ": " + quote(source.name) +
                                                    " has no column " + quote(expr.parts[1]) + at(expr.position));
        return columnTerm(source, static_cast<std::size_t>(i), s == &scope);
      }
    }
  }
  // Date, Now and Time need no parentheses.
  if (expr.parts.size() == 1 && declared_.find(foldText(full)) == declared_.end()) {
    const std::string folded = foldText(full);
    if (folded == "date" || folded == "now" || folded == "time") {
      Expr call;
      call.kind = ExprKind::Call;
      call.name = full;
      call.position = expr.position;
      return this->call(call, scope);
    }
  }
  // Anything else is a parameter, declared or not, as in Access: one
  // without a value fails when the statement runs, naming it.
  Term t = parameter(full, expr.position);
  return t;
}

ValueType Translator::comparable(Term& left, Term& right, const Position& position) {
  const Kind a = left.type.kind, b = right.type.kind;
  if (a == Kind::Null || b == Kind::Null) return {Kind::Null};
  const auto textual = [](Kind k) { return isText(k) || k == Kind::Guid; };
  if (textual(a) && textual(b)) return {Kind::Text};
  if (a == Kind::Variant && b == Kind::Variant) return {Kind::Variant};
  if (a == Kind::Variant) return right.type;
  if (b == Kind::Variant) return left.type;
  if (isBinary(a) && isBinary(b)) return {Kind::OLE};

  // A text written in the statement compares with a number or a date as
  // the number or date it spells.
  const auto readLiteral = [&](Term& text, const Term& other) {
    if (other.type.kind == Kind::DateTime) {
      const auto days = parseDate(text.literalText, DateOrder::MonthFirst);
      if (!days)
        throw Error(ErrorKind::TypeMismatch,
                    "Data type mismatch: the text " + quote(text.literalText) + " is not a date" + at(position));
      const bool aggregate = text.aggregate;
      text = constant(sqlReal(*days), {Kind::DateTime});
      text.aggregate = aggregate;
      return;
    }
    std::string digits = text.literalText;
    while (!digits.empty() && digits.front() == ' ') digits.erase(digits.begin());
    while (!digits.empty() && digits.back() == ' ') digits.pop_back();
    const bool negative = !digits.empty() && digits.front() == '-';
    const std::string body = negative ? digits.substr(1) : digits;
    char* end = nullptr;
    const double value = std::strtod(body.c_str(), &end);
    if (body.empty() || *end != '\0' || body.find_first_not_of("0123456789.eE+-") != std::string::npos)
      throw Error(ErrorKind::TypeMismatch,
                  "Data type mismatch: the text " + quote(text.literalText) + " is not a number" + at(position));
    text = constant(sqlReal(negative ? -value : value), {Kind::Double});
    text.literal = true;
    text.literalText = digits;
  };
  if (textual(a) && !textual(b) && !isBinary(b)) {
    if (left.literal) {
      readLiteral(left, right);
      return comparable(left, right, position);
    }
    return right.type;
  }
  if (textual(b) && !textual(a) && !isBinary(a)) {
    if (right.literal) {
      readLiteral(right, left);
      return comparable(left, right, position);
    }
    return left.type;
  }
  if (a == Kind::DateTime || b == Kind::DateTime) {
    if ((a == Kind::DateTime || isNumeric(a)) && (b == Kind::DateTime || isNumeric(b))) return {Kind::DateTime};
    throw Error(ErrorKind::TypeMismatch, mismatch(left.type, right.type) + at(position));
  }
  if (isNumeric(a) && isNumeric(b)) {
    const Storage sa = storageOf(left.type), sb = storageOf(right.type);
    if (sa == Storage::Integer && sb == Storage::Integer) return {Kind::Long};
    // Scaled numbers compare exactly with whole numbers and with numbers
    // written with no more decimals than the scale keeps.
    const auto exactWith = [](const Term& other, int scale) {
      if (storageOf(other.type) == Storage::Integer) return true;
      if (!other.literal || other.literalText.empty()) return false;
      const auto dot = other.literalText.find('.');
      return other.literalText.find_first_of("eE") == std::string::npos &&
             (dot == std::string::npos || static_cast<int>(other.literalText.size() - dot - 1) <= scale);
    };
    if (sa == Storage::Scaled && sb == Storage::Scaled)
      return storedScale(left.type) >= storedScale(right.type) ? left.type : right.type;
    if (sa == Storage::Scaled && exactWith(right, storedScale(left.type))) return left.type;
    if (sb == Storage::Scaled && exactWith(left, storedScale(right.type))) return right.type;
    return {Kind::Double};
  }
  throw Error(ErrorKind::TypeMismatch, mismatch(left.type, right.type) + at(position));
}

Term Translator::comparison(Op op, const Term& leftIn, const Term& rightIn, const Position& position) {
  Term left = leftIn, right = rightIn;
  const ValueType type = comparable(left, right, position);
  static const char* kOps[] = {"=", "<>", "<", ">", "<=", ">="};
  const char* symbol = kOps[static_cast<int>(op) - static_cast<int>(Op::Equal)];
  if (type.kind == Kind::Null) return truth("NULL", {&leftIn, &rightIn});
  return truth("(" + collated(convert(left, type), type) + " " + symbol + " " + convert(right, type) + ")",
               {&leftIn, &rightIn});
}

Term Translator::arithmetic(const Expr& expr, Term left, Term right) {
  const Op op = expr.op;
  Term t;
  inherit(t, left, right);
  Kind a = left.type.kind, b = right.type.kind;
  if (op == Op::Concat) {
    // Null & x is x: only two Nulls make Null.
    const ValueType text{Kind::Text, 255};
    t.sql = "jet_concat(" + convert(left, text) + ", " + convert(right, text) + ")";
    t.type = (a == Kind::Memo || b == Kind::Memo) ? ValueType{Kind::Memo} : text;
    return t;
  }
  if (a == Kind::Null || b == Kind::Null) {
    t.sql = "NULL";
    t.type = {a == Kind::Null ? b : a};
    return t;
  }
  if (isBinary(a) || isBinary(b) || a == Kind::Guid || b == Kind::Guid)
    throw Error(ErrorKind::TypeMismatch, std::string("Data type mismatch: a ") + typeName(isBinary(a) || a == Kind::Guid ? a : b) +
                                             " value can't be used in arithmetic" + at(expr.position));
  // A variant is taken as a number here.
  if (a == Kind::Variant) left.type = {Kind::Double}, left.sql = "jet_number(" + left.sql + ")", a = Kind::Double;
  if (b == Kind::Variant) right.type = {Kind::Double}, right.sql = "jet_number(" + right.sql + ")", b = Kind::Double;

  if (op == Op::Add && isText(a) && isText(b)) {
    t.sql = "(" + left.sql + " || " + right.sql + ")";
    t.type = (a == Kind::Memo || b == Kind::Memo) ? ValueType{Kind::Memo} : ValueType{Kind::Text, 255};
    return t;
  }
  const ValueType real{Kind::Double};
  // Text in arithmetic is read as a number.
  if (isText(a)) left = constant("jet_number(" + left.sql + ")", real), a = Kind::Double;
  if (isText(b)) right = constant("jet_number(" + right.sql + ")", real), b = Kind::Double;

  if (a == Kind::DateTime || b == Kind::DateTime) {
    if (op == Op::Add || op == Op::Subtract) {
      t.sql = "(" + convert(left, real) + (op == Op::Add ? " + " : " - ") + convert(right, real) + ")";
      t.type = (op == Op::Subtract && a == Kind::DateTime && b == Kind::DateTime) ? real : ValueType{Kind::DateTime};
      return t;
    }
    a = a == Kind::DateTime ? Kind::Double : a;
    b = b == Kind::DateTime ? Kind::Double : b;
    left.type = left.type.kind == Kind::DateTime ? real : left.type;
    right.type = right.type.kind == Kind::DateTime ? real : right.type;
  }

  switch (op) {
    case Op::Divide:
      t.sql = "jet_divide(" + convert(left, real) + ", " + convert(right, real) + ")";
      t.type = (a == Kind::Decimal || b == Kind::Decimal) ? ValueType{Kind::Decimal, 0, 28, 6} : real;
      return t;
    case Op::IntDivide:
    case Op::Mod:
      t.sql = std::string(op == Op::Mod ? "jet_mod(" : "jet_intdivide(") + convert(left, real) + ", " +
              convert(right, real) + ")";
      t.type = {Kind::Long};
      return t;
    case Op::Power:
      t.sql = "jet_power(" + convert(left, real) + ", " + convert(right, real) + ")";
      t.type = real;
      return t;
    default: break;
  }

  const bool multiply = op == Op::Multiply;
  const int rank = multiply ? std::max(multiplicativeRank(a), multiplicativeRank(b))
                            : std::max(additiveRank(a), additiveRank(b));
  const char* symbol = op == Op::Add ? " + " : op == Op::Subtract ? " - " : " * ";
  ValueType type;
  if (integerKind(a) && integerKind(b)) {
    type = {Kind::Long};
  } else if (a == Kind::Decimal || b == Kind::Decimal) {
    const ValueType da = asDecimal(left.type), db = asDecimal(right.type);
    if (multiply) {
      type = {Kind::Decimal, 0, 28, std::min(28, da.scale + db.scale)};
    } else {
      const int scale = std::max(da.scale, db.scale);
      type = {Kind::Decimal, 0, std::min(28, std::max(da.precision - da.scale, db.precision - db.scale) + scale + 1), scale};
    }
    if (isNumeric(a) && isNumeric(b) && (a == Kind::Double || a == Kind::Single || b == Kind::Double || b == Kind::Single))
      type = {Kind::Decimal, 0, 28, std::max(da.scale, db.scale)};
  } else if ((multiply && rank == 2) || (!multiply && rank == 4)) {
    type = {Kind::Currency};
  } else {
    type = real;
  }

  if (multiply && storageOf(type) == Storage::Scaled) {
    // A scaled number times a whole number keeps its scale; two scaled
    // numbers multiply to the sum of their scales.
    const int scale = storedScale(type);
    const bool wholeLeft = storageOf(left.type) == Storage::Integer;
    const bool wholeRight = storageOf(right.type) == Storage::Integer;
    if (wholeLeft || wholeRight) {
      const Term& whole = wholeLeft ? left : right;
      const Term& other = wholeLeft ? right : left;
      t.sql = "(" + convert(other, type) + " * " + whole.sql + ")";
    } else {
      const int sa = storageOf(left.type) == Storage::Scaled ? storedScale(left.type) : scale;
      const int sb = storageOf(right.type) == Storage::Scaled ? storedScale(right.type) : scale;
      ValueType ta = left.type, tb = right.type;
      if (storageOf(ta) != Storage::Scaled) ta = {Kind::Decimal, 0, 18, sa};
      if (storageOf(tb) != Storage::Scaled) tb = {Kind::Decimal, 0, 18, sb};
      t.sql = "jet_rescale(" + convert(left, ta) + " * " + convert(right, tb) + ", " + std::to_string(sa + sb) + ", " +
              std::to_string(scale) + ")";
    }
  } else {
    t.sql = "(" + convert(left, type) + symbol + convert(right, type) + ")";
  }
  t.type = type;
  return t;
}

Term Translator::logical(const Expr& expr, const Term& left, const Term& right) {
  Term t;
  inherit(t, left, right);
  // Whole numbers that are no truth values combine bit by bit.
  const auto bits = [](const Term& x) {
    return !x.condition && (x.type.kind == Kind::Byte || x.type.kind == Kind::Integer || x.type.kind == Kind::Long);
  };
  if (bits(left) && bits(right)) {
    const std::string a = left.sql, b = right.sql;
    switch (expr.op) {
      case Op::And: t.sql = "(" + a + " & " + b + ")"; break;
      case Op::Or: t.sql = "(" + a + " | " + b + ")"; break;
      case Op::Xor: t.sql = "((" + a + " | " + b + ") & ~(" + a + " & " + b + "))"; break;
      case Op::Eqv: t.sql = "~((" + a + " | " + b + ") & ~(" + a + " & " + b + "))"; break;
      default: t.sql = "(~" + a + " | " + b + ")"; break;
    }
    t.type = {Kind::Long};
    return t;
  }
  const std::string a = conditionOf(left), b = conditionOf(right);
  switch (expr.op) {
    case Op::And: return truth("(" + a + " AND " + b + ")", {&left, &right});
    case Op::Or: return truth("(" + a + " OR " + b + ")", {&left, &right});
    case Op::Xor: return truth("(" + a + " <> " + b + ")", {&left, &right});
    case Op::Eqv: return truth("(" + a + " = " + b + ")", {&left, &right});
    default: return truth("(NOT " + a + " OR " + b + ")", {&left, &right});
  }
}

Term Translator::expressionOf(const Expr& expr, Scope& scope) {
  switch (expr.kind) {
    case ExprKind::Null:
    case ExprKind::Boolean:
    case ExprKind::Integer:
    case ExprKind::Number:
    case ExprKind::Text:
    case ExprKind::Date: return literal(expr);
    case ExprKind::Name: return name(expr, scope);
    case ExprKind::Parameter: {
      // A ? is a parameter declared by its place.
      const std::string name = "?" + std::to_string(expr.integer);
      declared_.emplace(foldText(name), ParameterUse{name, {Kind::Variant}, true, expr.position, {}});
      return parameter(name, expr.position);
    }
    case ExprKind::Plus: return expression(*expr.operands[0], scope);
    case ExprKind::Negate: {
      Term operand = expression(*expr.operands[0], scope);
      if (operand.literal && !operand.literalText.empty() && operand.type.kind != Kind::Text) {
        operand.literalText = operand.literalText[0] == '-' ? operand.literalText.substr(1) : "-" + operand.literalText;
        operand.sql = "(-" + operand.sql + ")";
        return operand;
      }
      Term t = operand;
      t.literal = false;
      t.origin = {};
      t.columnName.clear();
      t.definition = nullptr;
      t.condition = false;
      if (isText(operand.type.kind) || operand.type.kind == Kind::Variant) {
        t.sql = "(-jet_number(" + operand.sql + "))";
        t.type = {Kind::Double};
      } else if (isBinary(operand.type.kind) || operand.type.kind == Kind::Guid) {
        throw Error(ErrorKind::TypeMismatch, std::string("Data type mismatch: a ") + typeName(operand.type.kind) +
                                                 " value can't be negative" + at(expr.position));
      } else {
        t.sql = "(-" + valueOf(operand) + ")";
        if (integerKind(operand.type.kind)) t.type = {Kind::Long};
      }
      return t;
    }
    case ExprKind::Not: {
      Term operand = expression(*expr.operands[0], scope);
      Term t;
      t.aggregate = operand.aggregate;
      t.freeColumns = operand.freeColumns;
      if (!operand.condition && (operand.type.kind == Kind::Byte || operand.type.kind == Kind::Integer ||
                                 operand.type.kind == Kind::Long)) {
        t.sql = "(~" + operand.sql + ")";
        t.type = {Kind::Long};
        return t;
      }
      return truth("(NOT " + conditionOf(operand) + ")", {&operand});
    }
    case ExprKind::Binary: {
      Term left = expression(*expr.operands[0], scope);
      Term right = expression(*expr.operands[1], scope);
      switch (expr.op) {
        case Op::And:
        case Op::Or:
        case Op::Xor:
        case Op::Eqv:
        case Op::Imp: return logical(expr, left, right);
        default: return arithmetic(expr, std::move(left), std::move(right));
      }
    }
    case ExprKind::Compare: {
      Term left = expression(*expr.operands[0], scope);
      if (expr.quantifier == Quantifier::None)
        return comparison(expr.op, left, expression(*expr.operands[1], scope), expr.position);
      // x > ANY (SELECT …): some row compares true; ALL: none compares false.
      std::vector<OutputColumn> columns;
      const std::string sub = subquerySql(*expr.query, scope, &columns);
      if (columns.size() != 1)
        throw Error(ErrorKind::InvalidQuery, "The subquery must select one column" + at(expr.query->position));
      Term row = constant("_any.c1", columns[0].type);
      Term test = comparison(expr.op, left, row, expr.position);
      if (expr.quantifier == Quantifier::Any)
        return truth("EXISTS (SELECT 1 FROM (" + sub + ") AS _any WHERE " + test.sql + ")", {&left});
      return truth("NOT EXISTS (SELECT 1 FROM (" + sub + ") AS _any WHERE " + test.sql + " IS NOT 1)", {&left});
    }
    case ExprKind::Like: {
      Term value = expression(*expr.operands[0], scope);
      Term pattern = expression(*expr.operands[1], scope);
      const ValueType text{Kind::Text, 255};
      return truth(std::string(expr.negated ? "(NOT " : "(") + "jet_like(" + convert(value, text) + ", " +
                       convert(pattern, text) + "))",
                   {&value, &pattern});
    }
    case ExprKind::IsNull: {
      Term value = expression(*expr.operands[0], scope);
      return truth("(" + valueOf(value) + (expr.negated ? " IS NOT NULL)" : " IS NULL)"), {&value});
    }
    case ExprKind::Between: {
      Term value = expression(*expr.operands[0], scope);
      Term low = expression(*expr.operands[1], scope);
      Term high = expression(*expr.operands[2], scope);
      Term v1 = value, v2 = value;
      ValueType type = comparable(v1, low, expr.position);
      const ValueType second = comparable(v2, high, expr.position);
      if (type.kind == Kind::Null || second.kind == Kind::Null) type = {Kind::Null};
      else if (!(type == second)) type = comparable(low, high, expr.position);
      if (type.kind == Kind::Null) return truth("NULL", {&value, &low, &high});
      return truth("(" + collated(convert(value, type), type) + (expr.negated ? " NOT BETWEEN " : " BETWEEN ") +
                       convert(low, type) + " AND " + convert(high, type) + ")",
                   {&value, &low, &high});
    }
    case ExprKind::In: {
      Term value = expression(*expr.operands[0], scope);
      Term t = truth("", {&value});
      if (expr.query) {
        std::vector<OutputColumn> columns;
        const std::string sub = subquerySql(*expr.query, scope, &columns);
        if (columns.size() != 1)
          throw Error(ErrorKind::InvalidQuery, "The subquery of IN must select one column" + at(expr.query->position));
        Term column = constant("c1", columns[0].type);
        const ValueType type = comparable(value, column, expr.position);
        t.sql = "(" + collated(convert(value, type), type) + (expr.negated ? " NOT IN " : " IN ") + "(SELECT " +
                convert(column, type) + " FROM (" + sub + ")))";
        return t;
      }
      std::vector<Term> items;
      ValueType type = value.type;
      for (std::size_t i = 1; i < expr.operands.size(); ++i) {
        Term item = expression(*expr.operands[i], scope);
        Term v = value;
        const ValueType itemType = comparable(v, item, expr.position);
        if (itemType.kind != Kind::Null) type = itemType;
        inherit(t, t, item);
        items.push_back(std::move(item));
      }
      std::string list;
      for (Term& item : items) {
        Term v = value;
        comparable(v, item, expr.position);  // reads a text written for a number as the number
        list += (list.empty() ? "" : ", ") + convert(item, type);
      }
      t.sql = "(" + collated(convert(value, type), type) + (expr.negated ? " NOT IN (" : " IN (") + list + "))";
      return t;
    }
    case ExprKind::Exists: return truth("EXISTS (" + subquerySql(*expr.query, scope) + ")", {});
    case ExprKind::Subquery: {
      std::vector<OutputColumn> columns;
      const std::string sub = subquerySql(*expr.query, scope, &columns);
      if (columns.size() != 1)
        throw Error(ErrorKind::InvalidQuery, "A subquery used as a value must select one column" + at(expr.position));
      // Its one row's value, Null for none; more than one row is an error,
      // not the first of them.
      return constant("(SELECT CASE WHEN count(*) > 1 THEN jet_too_many_rows() ELSE min(c1) END FROM (" + sub + "))",
                      columns[0].type);
    }
    case ExprKind::Call: return call(expr, scope);
  }
  return constant("NULL", {Kind::Null});
}

}  // namespace jet::sql
