#include "target_address.h"

#include <stdexcept>

namespace tabrix::cli {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
      const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
      if (high < 0 || low < 0) throw std::invalid_argument("the schema name has a malformed %-escape");
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

PostgresAddress parsePostgres(std::string_view text) {
  PostgresAddress address;
  const std::size_t question = text.find('?');
  if (question == std::string_view::npos) {
    address.uri = text;
    return address;
  }
  // Keeps every parameter but the schema, in its order.
  std::string kept;
  std::string_view query = text.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view parameter = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (parameter.starts_with("schema=")) {
      address.schema = percentDecoded(parameter.substr(7));
      if (address.schema.empty()) throw std::invalid_argument("the schema parameter names no schema");
    } else if (!parameter.empty()) {
      kept += (kept.empty() ? "" : "&") + std::string(parameter);
    }
  }
  address.uri = std::string(text.substr(0, question)) + (kept.empty() ? "" : "?" + kept);
  return address;
}

}  // namespace

TargetAddress parseTargetAddress(std::string_view text) {
  if (text.starts_with("sqlite:")) {
    SqliteAddress address{std::string(text.substr(7))};
    if (address.path.empty()) throw std::invalid_argument("sqlite: names no file");
    return address;
  }
  if (text.starts_with("postgresql://") || text.starts_with("postgres://")) return parsePostgres(text);
  throw std::invalid_argument("the target " + std::string(text) +
                              " is neither sqlite:PATH nor a postgresql:// connection URI");
}

}  // namespace tabrix::cli
