#pragma once

#include <stdexcept>
#include <string>

namespace jet {

// Every failure of the engine is a jet::Error whose text is a sentence a
// user can act on, naming the file where that helps ("/data/x.mdb is not
// an Access database."; "x.mdb is damaged: page 812 lies outside the file
// (it has 58 pages). Run tabrix-cli check on it to see all of the
// damage."). The kind lets callers react without parsing the text.
enum class ErrorKind {
  Io,            // the file can't be opened or read, or a write or sync failed
  NotADatabase,  // not a Jet 3 / Jet 4 file (an .accdb among them)
  Corrupt,       // bytes that contradict the format: bad page, length, pointer
  Password,      // a wrong or missing database password, or a user other than admin
  NotFound,      // no table or column of that name
  Unsupported,   // a valid file using something the engine can't handle
  ReadOnly,      // a change refused: opened for reading, or the file or its folder can't be written
  Locked,        // another program holds the database, exclusively or for a change of its own
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace jet
