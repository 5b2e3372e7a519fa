#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace tabrix {

// An ADO connection string: "key=value;" pairs. Keys are matched without
// regard to case and blanks around keys and values don't count; a value may
// be enclosed in double or single quotes, a doubled quote inside standing for
// one, which lets it hold ";" (Extended Properties="DBQ=x;Driver={...};").
// When a key occurs more than once the last value counts.
class ConnectionString {
 public:
  // ProviderError when a quoted value is not closed or a pair has no "=".
  static ConnectionString parse(const QString& text);

  std::optional<QString> value(const QString& key) const;

 private:
  std::vector<std::pair<QString, QString>> m_pairs;
};

// The user name the login dialog starts with: what follows the first
// "USER ID=" (in any case) up to the next ";", or nothing.
QString loginUserName(const QString& connectionString);

}  // namespace tabrix
