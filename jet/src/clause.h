#pragma once

#include <string>

namespace jet {

// An error's sentence without its full stop, to quote inside another
// sentence: "x.mdb can't be changed (Cannot create x.ldb: Permission
// denied)."
inline std::string asClause(std::string sentence) {
  if (sentence.ends_with('.')) sentence.pop_back();
  return sentence;
}

}  // namespace jet
