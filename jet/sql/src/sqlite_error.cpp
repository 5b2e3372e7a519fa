#include "sqlite_error.h"

#include <string>

namespace jet::sql {

void raise(Context& context, sqlite3* db, int code, const char* doing) {
  if (context.failure) {
    std::exception_ptr failure = context.failure;
    context.failure = nullptr;
    std::rethrow_exception(failure);
  }
  switch (code & 0xFF) {
    case SQLITE_NOMEM: throw Error(ErrorKind::Evaluation, "There is not enough memory to run the statement");
    case SQLITE_TOOBIG: throw Error(ErrorKind::Evaluation, "A value or the statement is too large");
    case SQLITE_INTERRUPT: throw Error(ErrorKind::Evaluation, "The statement was interrupted");
    case SQLITE_FULL:
    case SQLITE_IOERR: throw Error(ErrorKind::Evaluation, "There is no room left for the statement's temporary data");
    default: break;
  }
  // Read to choose our words, never shown.
  const std::string message = db ? sqlite3_errmsg(db) : "";
  if (message.find("integer overflow") != std::string::npos)
    throw Error(ErrorKind::Evaluation, "Overflow: a total is too large for its type");
  if (message.find("too many") != std::string::npos || message.find("too large") != std::string::npos ||
      message.find("too deep") != std::string::npos)
    throw Error(ErrorKind::InvalidQuery, "The statement is too large or too deeply nested for the built-in engine");
  throw Error(ErrorKind::InvalidQuery, std::string("The built-in engine failed while ") + doing +
                                           " the statement (internal error " + std::to_string(code) + ")");
}

}  // namespace jet::sql
