#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

// How GoogleTest prints Qt's strings and values in failures.

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < list.size(); ++i) {
    if (i) *out << ", ";
    PrintTo(list[i], out);
  }
  *out << '}';
}

inline void PrintTo(const QVariant& value, std::ostream* out) {
  *out << "QVariant(" << value.typeName() << ", " << value.toString().toStdString() << ')';
}
