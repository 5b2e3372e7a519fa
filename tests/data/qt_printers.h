#pragma once

#include <QString>
#include <QVariant>
#include <ostream>

// Readable failure messages for Qt values.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QVariant& value, std::ostream* out) {
  *out << "QVariant(" << value.typeName() << ", " << value.toString().toStdString() << ')';
}
