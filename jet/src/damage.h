#pragma once

#include <string>

#include "jet/error.h"

namespace jet {

// Structure readers raise Error(Corrupt) with the bare detail of what is
// wrong ("page 929 lies outside the file (it has 58 pages)"). Where the
// engine answers its caller, the detail becomes a sentence that names the
// file, says in plain words that it is damaged and what the user can do.
Error damaged(const std::string& file, const std::string& detail);

// Runs `f`; a Corrupt error it raises becomes damaged(file, its detail).
template <typename F>
decltype(auto) reportingDamageOf(const std::string& file, F&& f) {
  try {
    return f();
  } catch (const Error& e) {
    if (e.kind() != ErrorKind::Corrupt) throw;
    throw damaged(file, e.what());
  }
}

}  // namespace jet
