#pragma once

#include <QString>
#include <stdexcept>

namespace tabrix {

// A check of the data access component itself failed. The text is
// "Name: what", the name of the dataset or connection first, as in
// "ADOQuery: Missing SQL property".
class DatabaseError : public std::runtime_error {
 public:
  DatabaseError(const QString& component, const QString& what)
      : std::runtime_error((component + QStringLiteral(": ") + what).toStdString()) {}
  QString text() const { return QString::fromUtf8(what()); }
};

// Whatever a driver or the engine reported, with its own text (trailing
// blanks, control characters and full stops removed).
class ProviderError : public std::runtime_error {
 public:
  explicit ProviderError(const QString& text);
  QString text() const { return QString::fromUtf8(what()); }
};

}  // namespace tabrix
