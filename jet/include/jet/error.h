#pragma once

#include <stdexcept>
#include <string>

namespace jet {

// Every failure of the engine is a jet::Error whose text says what is wrong
// in words a user can act on ("not a Jet database", "page 812 lies outside
// the file"). The kind lets callers react without parsing the text.
enum class ErrorKind {
  Io,            // the file can't be opened or read
  NotADatabase,  // not a Jet 3 / Jet 4 file (an .accdb among them)
  Corrupt,       // bytes that contradict the format: bad page, length, pointer
  Password,      // a wrong or missing database password, or a user other than admin
  NotFound,      // no table or column of that name
  Unsupported,   // a valid file using something the engine can't handle
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace jet
