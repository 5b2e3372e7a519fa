#pragma once

#include <exception>
#include <map>
#include <string>

#include "jet/sql/session.h"
#include "objects.h"

namespace jet::sql {

// What the virtual tables and the functions share with the session while
// SQLite runs a statement.
struct Context {
  explicit Context(const Database& database) : objects(database) {}

  Objects objects;
  // An error met inside SQLite (an engine error in a scan, a division by
  // zero): SQLite only learns that something failed; the statement throws
  // this one.
  std::exception_ptr failure;
  // The running statement's parameter values, by folded name, already in
  // their types' storage.
  const std::map<std::string, Argument>* arguments = nullptr;
  // When the running statement started, for Now(), Date() and Time().
  double now = 0;

  void keep(std::exception_ptr error) {
    if (!failure) failure = std::move(error);
  }
};

}  // namespace jet::sql
