#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "dates.h"
#include "functions.h"
#include "messages.h"
#include "session_state.h"
#include "sqlite_error.h"
#include "term.h"
#include "text_order.h"

namespace jet::sql {
namespace {

double localNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  return combineDateTime(daysFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         dayFraction(local.tm_hour, local.tm_min, local.tm_sec));
}

Statement::Kind kindOf(ast::Statement::Kind kind) {
  using K = ast::Statement::Kind;
  switch (kind) {
    case K::Select: return Statement::Kind::Select;
    case K::InsertValues:
    case K::InsertSelect: return Statement::Kind::Insert;
    case K::Update: return Statement::Kind::Update;
    case K::Delete: return Statement::Kind::Delete;
    case K::SelectInto: return Statement::Kind::MakeTable;
    default: return Statement::Kind::DataDefinition;
  }
}

[[noreturn]] void overflow(const OutputColumn& column, const std::string& value) {
  throw Error(ErrorKind::Evaluation, "Overflow: the value " + value + " doesn't fit the column " + quote(column.name) +
                                         " (" + typeName(column.type.kind) + ")");
}

// A decimal of `scale` places from the whole number of its units.
Decimal decimalFromUnits(std::int64_t units, int scale) {
  Decimal d;
  d.negative = units < 0;
  d.scale = static_cast<std::uint8_t>(scale);
  const std::uint64_t magnitude = units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
  d.magnitude = {static_cast<std::uint32_t>(magnitude), static_cast<std::uint32_t>(magnitude >> 32), 0};
  return d;
}

// A decimal from the digits of a number, "-123.45" at `scale` places.
bool decimalFromText(const std::string& text, int scale, Decimal& d) {
  d = Decimal{};
  d.negative = !text.empty() && text[0] == '-';
  d.scale = static_cast<std::uint8_t>(scale);
  std::array<std::uint64_t, 3> words{};
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    std::uint64_t carry = static_cast<std::uint64_t>(c - '0');
    for (auto& w : words) {
      const std::uint64_t v = w * 10 + carry;
      w = v & 0xFFFFFFFFu;
      carry = v >> 32;
    }
    if (carry) return false;
  }
  for (int i = 0; i < 3; ++i) d.magnitude[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(words[static_cast<std::size_t>(i)]);
  return true;
}

bool parseGuid(std::string_view text, Guid& out) {
  std::string hex;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) hex += c;
    else if (c != '{' && c != '}' && c != '-') return false;
  if (hex.size() != 32) return false;
  std::uint8_t bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(static_cast<std::size_t>(2 * i), 2), nullptr, 16));
  // The first three groups are stored little-endian.
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) out[static_cast<std::size_t>(i)] = bytes[order[i]];
  return true;
}

std::string text(const Argument& a) {
  if (const auto* s = std::get_if<std::string>(&a)) return *s;
  if (const auto* b = std::get_if<bool>(&a)) return *b ? "True" : "False";
  if (const auto* i = std::get_if<std::int64_t>(&a)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&a)) return function::numberText(*d, 15);
  return {};
}

// A value given for a parameter, in the storage of its declared type.
Argument stored(const ParameterUse& p, const Argument& value) {
  if (std::holds_alternative<std::monostate>(value)) return value;
  const auto mismatch = [&](const char* what) -> Argument {
    throw Error(ErrorKind::TypeMismatch, "Data type mismatch: the value " + quote(text(value)) + " given for " +
                                             quote(p.name) + " is not " + what);
  };
  const auto asNumber = [&]() -> double {
    if (const auto* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&value)) return *d;
    if (auto n = function::parseNumber(std::get<std::string>(value))) return *n;
    mismatch("a number");
    return 0;
  };
  switch (storageOf(p.type)) {
    case Storage::Null:
    case Storage::Any:
      if (const auto* b = std::get_if<bool>(&value)) return std::int64_t{*b ? -1 : 0};
      return value;
    case Storage::Integer: {
      if (p.type.kind == Kind::Boolean) {
        if (const auto* s = std::get_if<std::string>(&value)) {
          const std::string folded = foldText(*s);
          if (folded == "true" || folded == "yes") return std::int64_t{-1};
          if (folded == "false" || folded == "no") return std::int64_t{0};
        }
        return std::int64_t{asNumber() != 0 ? -1 : 0};
      }
      if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
      return static_cast<std::int64_t>(function::roundHalfEven(asNumber()));
    }
    case Storage::Scaled: {
      const int scale = storedScale(p.type);
      if (const auto* i = std::get_if<std::int64_t>(&value)) return *i * static_cast<std::int64_t>(std::pow(10, scale));
      std::string digits = std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                                     : function::numberText(asNumber(), 15);
      if (!function::parseNumber(digits)) mismatch("a number");
      const bool negative = digits.find('-') != std::string::npos;
      std::string body;
      for (char c : digits)
        if ((c >= '0' && c <= '9') || c == '.') body += c;
      if (auto exact = scaledLiteral(body, scale)) return negative ? -*exact : *exact;
      return static_cast<std::int64_t>(function::roundHalfEven(asNumber() * std::pow(10, scale)));
    }
    case Storage::Real:
      if (p.type.kind == Kind::DateTime) {
        if (const auto* s = std::get_if<std::string>(&value)) {
          if (auto days = parseDate(*s, DateOrder::DayFirst)) return *days;
          mismatch("a date");
        }
      }
      return asNumber();
    case Storage::Text:
    case Storage::Blob: return text(value);
  }
  return value;
}

}  // namespace

Statement::State::State(Session::State& session, Translation t) : session(session), translation(std::move(t)) {
  result.name.clear();
  for (const OutputColumn& c : translation.columns) {
    Column column = c.definition;
    column.name = c.name;
    column.type = c.definition.type;
    result.columns.push_back(std::move(column));
    origins.push_back(c.origin);
  }
  values.resize(result.columns.size());

  // One table behind every stored column: its rows can be written back.
  bool one = true;
  for (const Origin& o : origins) {
    if (o.empty()) continue;
    if (writableTable.empty())
      writableTable = o.table;
    else if (o.table != writableTable)
      one = false;
  }
  if (!one) writableTable.clear();
  if (writableTable.empty()) return;
  const TableDef& def = session.context.objects.table(writableTable);
  const Index* identity = nullptr;
  for (const Index& index : def.indexes)
    if (index.primaryKey) identity = &index;
  for (const Index& index : def.indexes)
    if (!identity && index.unique && !index.foreignKey) identity = &index;
  if (!identity) return;
  for (const IndexColumn& part : identity->columns) {
    const std::string& name = def.columns.at(static_cast<std::size_t>(part.column)).name;
    int found = -1;
    for (std::size_t i = 0; i < origins.size() && found < 0; ++i)
      if (origins[i].table == writableTable && foldText(origins[i].column) == foldText(name)) found = static_cast<int>(i);
    if (found < 0) {
      key.clear();
      return;
    }
    key.push_back(found);
  }
}

Statement::State::~State() { sqlite3_finalize(statement); }

Statement::Statement(std::unique_ptr<State> state) : state_(std::move(state)) {}
Statement::~Statement() = default;

Statement::Kind Statement::kind() const { return kindOf(state_->translation.kind); }

std::vector<std::string> Statement::parameters() const {
  std::vector<std::string> names;
  for (const ParameterUse& p : state_->translation.parameters) names.push_back(p.name);
  return names;
}

void Statement::bind(std::string_view name, const Argument& value) {
  const std::string folded = foldText(name);
  for (const ParameterUse& p : state_->translation.parameters) {
    if (foldText(p.name) != folded) continue;
    state_->arguments[folded] = stored(p, value);
    return;
  }
  throw Error(ErrorKind::InvalidQuery, "The statement has no parameter named " + quote(name));
}

const TableDef& Statement::table() const { return state_->result; }

const Origin& Statement::origin(std::size_t column) const { return state_->origins.at(column); }
const std::string& Statement::writableTable() const { return state_->writableTable; }
const std::vector<int>& Statement::key() const { return state_->key; }

bool Statement::next() {
  State& s = *state_;
  Context& context = s.session.context;
  if (!s.statement || s.finished) return false;
  if (!s.started) {
    for (const ParameterUse& p : s.translation.parameters) {
      if (s.arguments.count(foldText(p.name))) continue;
      const std::string where = p.query.empty() ? at(p.position) : " in the saved query " + quote(p.query);
      if (p.declared) throw Error(ErrorKind::MissingParameter, "The parameter " + quote(p.name) + " has no value" + where);
      throw Error(ErrorKind::UnknownColumn, "Unknown column " + quote(p.name) + where);
    }
    s.started = true;
    context.now = localNow();
  }
  context.failure = nullptr;
  context.arguments = &s.arguments;
  const int rc = sqlite3_step(s.statement);
  context.arguments = nullptr;
  s.onRow = rc == SQLITE_ROW;
  if (rc == SQLITE_ROW) return true;
  s.finished = true;
  if (rc == SQLITE_DONE) return false;
  raise(context, s.session.db, rc, "reading the rows of");
}

const Value& Statement::value(std::size_t column) {
  State& s = *state_;
  if (!s.onRow) throw jet::Error(jet::ErrorKind::NotFound, "the statement is not on a row");
  if (column >= s.values.size())
    throw jet::Error(jet::ErrorKind::NotFound, "the result has no column " + std::to_string(column));
  const OutputColumn& out = s.translation.columns[column];
  sqlite3_stmt* st = s.statement;
  const int i = static_cast<int>(column);
  Value& v = s.values[column];
  v = Value{};
  v.type = s.result.columns[column].type;
  const int type = sqlite3_column_type(st, i);
  v.null = type == SQLITE_NULL;
  if (v.null) return v;
  const auto whole = [&](double low, double high) {
    double n = 0;
    if (type == SQLITE_INTEGER) {
      const std::int64_t k = sqlite3_column_int64(st, i);
      if (static_cast<double>(k) < low || static_cast<double>(k) > high) overflow(out, std::to_string(k));
      return k;
    }
    if (type == SQLITE_TEXT) {
      auto parsed = function::parseNumber(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
      if (!parsed) throw Error(ErrorKind::TypeMismatch, "Data type mismatch in the column " + quote(out.name));
      n = *parsed;
    } else {
      n = sqlite3_column_double(st, i);
    }
    n = function::roundHalfEven(n);
    if (!(n >= low && n <= high)) overflow(out, function::numberText(n, 15));
    return static_cast<std::int64_t>(n);
  };
  switch (out.type.kind) {
    case sql::Kind::Boolean: v.boolean = sqlite3_column_double(st, i) != 0; break;
    case sql::Kind::Byte: v.integer = whole(0, 255); break;
    case sql::Kind::Integer: v.integer = whole(-32768, 32767); break;
    case sql::Kind::Long: v.integer = whole(-2147483648.0, 2147483647.0); break;
    case sql::Kind::Currency: v.integer = whole(-9.2233720368547758e18, 9.2233720368547758e18); break;
    case sql::Kind::Single: v.real = static_cast<float>(sqlite3_column_double(st, i)); break;
    case sql::Kind::Double:
    case sql::Kind::DateTime: v.real = sqlite3_column_double(st, i); break;
    case sql::Kind::Decimal: {
      const int scale = out.type.scale;
      if (storageOf(out.type) == Storage::Scaled && type == SQLITE_INTEGER) {
        v.decimal = decimalFromUnits(sqlite3_column_int64(st, i), scale);
        break;
      }
      double n = sqlite3_column_double(st, i);
      if (storageOf(out.type) == Storage::Scaled) n /= std::pow(10.0, scale);
      char buffer[400];
      std::snprintf(buffer, sizeof buffer, "%.*f", std::min(scale, 28), n);
      if (!std::isfinite(n) || !decimalFromText(buffer, std::min(scale, 28), v.decimal))
        overflow(out, function::numberText(n, 15));
      break;
    }
    case sql::Kind::Binary:
    case sql::Kind::OLE: {
      const auto* bytes = static_cast<const std::byte*>(sqlite3_column_blob(st, i));
      v.bytes = std::span<const std::byte>(bytes, static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
      break;
    }
    case sql::Kind::Guid: {
      const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      if (!parseGuid(t ? t : "", v.guid))
        throw Error(ErrorKind::TypeMismatch, "Data type mismatch: the column " + quote(out.name) + " holds no GUID");
      break;
    }
    default: {
      const auto* t = static_cast<const char16_t*>(sqlite3_column_text16(st, i));
      v.text = std::u16string_view(t ? t : u"", static_cast<std::size_t>(sqlite3_column_bytes16(st, i)) / 2);
      break;
    }
  }
  return v;
}

std::uint64_t Statement::bookmark() const {
  throw jet::Error(jet::ErrorKind::Unsupported, "the rows of a statement's result have no bookmark");
}

std::int64_t Statement::execute() {
  if (givesRows()) {
    // A query given to be executed runs no further than its first row.
    next();
    return 0;
  }
  throw Error(ErrorKind::ReadOnly, "The built-in engine can't change the database yet");
}

}  // namespace jet::sql
