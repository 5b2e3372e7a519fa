#include "term.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace jet::sql {
namespace {

std::string powerOfTen(int n) { return "1" + std::string(static_cast<std::size_t>(n), '0'); }

std::string textOf(const Term& term, const std::string& value) {
  switch (term.type.kind) {
    case Kind::Text:
    case Kind::Memo:
    case Kind::Guid:
    case Kind::Binary:
    case Kind::OLE: return value;
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long: return "CAST(" + value + " AS TEXT)";
    case Kind::Currency:
    case Kind::Decimal:
      if (storageOf(term.type) == Storage::Scaled)
        return "jet_scaled_text(" + value + ", " + std::to_string(storedScale(term.type)) + ")";
      return "jet_number_text(" + value + ", 15)";
    case Kind::Single: return "jet_number_text(" + value + ", 7)";
    case Kind::Double: return "jet_number_text(" + value + ", 15)";
    case Kind::DateTime: return "jet_date_text(" + value + ")";
    case Kind::Null: return "NULL";
    case Kind::Variant: return "jet_variant_text(" + value + ")";
  }
  return value;
}

// Text between two quotes, a quote inside it doubled.
std::string quoted(std::string_view text, char quote) {
  std::string out(1, quote);
  for (char c : text) {
    if (c == quote) out += quote;
    out += c;
  }
  return out + quote;
}

}  // namespace

std::string sqlText(std::string_view text) {
  if (text.find('\0') == std::string_view::npos) return quoted(text, '\'');
  // SQLite's SQL ends at a NUL: such a text travels as its bytes.
  static const char* kDigits = "0123456789ABCDEF";
  std::string hex = "CAST(X'";
  for (unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex + "' AS TEXT)";
}

std::string sqlName(std::string_view name) { return quoted(name, '"'); }

std::string sqlReal(double value) {
  if (!std::isfinite(value)) return "NULL";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

std::optional<std::int64_t> scaledLiteral(std::string_view digits, int scale) {
  if (digits.find_first_of("eE") != std::string_view::npos) return std::nullopt;
  const auto dot = digits.find('.');
  std::string whole(digits.substr(0, dot));
  std::string fraction = dot == std::string_view::npos ? "" : std::string(digits.substr(dot + 1));
  if (static_cast<int>(fraction.size()) > scale) {
    // More decimals than the scale keeps: round half to even, as Access does.
    const bool roundUp = [&] {
      const char next = fraction[static_cast<std::size_t>(scale)];
      if (next > '5') return true;
      if (next < '5') return false;
      if (fraction.find_first_not_of('0', static_cast<std::size_t>(scale) + 1) != std::string::npos) return true;
      const std::string kept = whole + fraction.substr(0, static_cast<std::size_t>(scale));
      return !kept.empty() && (kept.back() - '0') % 2 == 1;
    }();
    fraction.resize(static_cast<std::size_t>(scale));
    std::string all = whole + fraction;
    if (all.empty()) all = "0";
    std::int64_t value = 0;
    if (std::from_chars(all.data(), all.data() + all.size(), value).ec != std::errc()) return std::nullopt;
    if (roundUp) ++value;
    return value;
  }
  fraction.append(static_cast<std::size_t>(scale) - fraction.size(), '0');
  std::string all = whole + fraction;
  if (all.empty()) return 0;
  std::int64_t value = 0;
  const auto result = std::from_chars(all.data(), all.data() + all.size(), value);
  if (result.ec != std::errc() || result.ptr != all.data() + all.size()) return std::nullopt;
  return value;
}

std::string valueOf(const Term& term) { return term.condition ? "(-(" + term.sql + "))" : term.sql; }

std::string conditionOf(const Term& term) {
  if (term.condition) return term.sql;
  switch (storageOf(term.type)) {
    case Storage::Null: return "NULL";
    case Storage::Integer:
    case Storage::Scaled:
    case Storage::Real: return "(" + term.sql + " <> 0)";
    default: return "jet_truth(" + term.sql + ")";
  }
}

std::string collated(const std::string& sql, const ValueType& type) {
  if (isText(type.kind) || type.kind == Kind::Guid) return sql + " COLLATE JET";
  return sql;
}

std::string convert(const Term& term, const ValueType& target) {
  const Storage from = storageOf(term.type);
  const Storage to = storageOf(target);
  if (from == Storage::Null) return "NULL";
  const std::string value = valueOf(term);
  const bool numberLiteral =
      term.literal && (term.type.kind == Kind::Long || term.type.kind == Kind::Double) && !term.literalText.empty();
  switch (to) {
    case Storage::Null:
    case Storage::Blob: return value;
    case Storage::Any:
      if (from == Storage::Scaled)
        return "(" + value + " / " + powerOfTen(storedScale(term.type)) + ".0)";
      return value;
    case Storage::Integer:
      if (from == Storage::Integer) return value;
      if (from == Storage::Scaled)
        return "jet_integer(" + value + " / " + powerOfTen(storedScale(term.type)) + ".0)";
      return "jet_integer(" + value + ")";
    case Storage::Scaled: {
      const int scale = storedScale(target);
      if (numberLiteral)
        if (auto exact = scaledLiteral(term.literalText, scale)) return std::to_string(*exact);
      if (from == Storage::Integer) return scale == 0 ? value : "(" + value + " * " + powerOfTen(scale) + ")";
      if (from == Storage::Scaled) {
        const int own = storedScale(term.type);
        if (own == scale) return value;
        if (own < scale) return "(" + value + " * " + powerOfTen(scale - own) + ")";
        return "jet_scaled(" + value + " / " + powerOfTen(own - scale) + ".0, 0)";
      }
      if (from == Storage::Text || from == Storage::Any)
        return "jet_scaled(jet_number(" + value + "), " + std::to_string(scale) + ")";
      return "jet_scaled(" + value + ", " + std::to_string(scale) + ")";
    }
    case Storage::Real:
      if (from == Storage::Integer || from == Storage::Real) return value;
      if (from == Storage::Scaled) return "(" + value + " / " + powerOfTen(storedScale(term.type)) + ".0)";
      if (target.kind == Kind::DateTime) return "jet_cdate(" + value + ")";
      return "jet_number(" + value + ")";
    case Storage::Text:
      if (target.kind == Kind::Guid && from == Storage::Text) return value;
      return textOf(term, value);
  }
  return value;
}

}  // namespace jet::sql
