#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

#include "widgets/dialogs.h"

// How GoogleTest prints Qt's strings and the dialog vocabulary in failures.

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < list.size(); ++i) {
    if (i) *out << ", ";
    PrintTo(list[i], out);
  }
  *out << '}';
}

namespace tabrix {

inline void PrintTo(MessageIcon icon, std::ostream* out) {
  static const char* const names[] = {"None", "Information", "Warning", "Error", "Question"};
  *out << names[static_cast<int>(icon)];
}

inline void PrintTo(MessageButton button, std::ostream* out) {
  static const char* const names[] = {"Ok", "Cancel", "Yes", "No"};
  *out << names[static_cast<int>(button)];
}

}  // namespace tabrix
