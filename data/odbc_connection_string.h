#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace tabrix {

// An ODBC connection string as SQLDriverConnect reads it: "KEY=value;"
// attributes, keys without regard to case, a value in braces ("{...}", "}}"
// for a "}") holding anything. The first occurrence of a key counts, as in
// the driver manager. Unparsable pieces are kept as they are, so a string
// passes through unchanged apart from the attributes set here.
class OdbcConnectionString {
 public:
  static OdbcConnectionString parse(const QString& text);

  // The value of the first attribute with this key, braces removed.
  std::optional<QString> value(const QString& key) const;
  // Replaces every attribute with this key by one at the end.
  void set(const QString& key, const QString& value);

  QString toString() const;

 private:
  struct Attribute {
    QString key;    // empty for a piece that is no attribute
    QString value;  // unquoted
    QString text;   // the piece as written
  };
  std::vector<Attribute> m_attributes;
};

}  // namespace tabrix
