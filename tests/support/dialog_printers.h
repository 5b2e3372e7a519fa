#pragma once

#include <ostream>

#include "qt_printers.h"
#include "widgets/dialogs.h"

// How GoogleTest prints the dialog vocabulary in failures.
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
