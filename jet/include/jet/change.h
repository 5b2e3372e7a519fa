#pragma once

namespace jet {

// One atomic change to a database, handed to the function given to
// Database::write(): everything done through it reaches the file together
// when the function returns, or nothing does when it throws. Valid only
// during that call.
//
// The operations on rows (insert, update and delete by bookmark, long
// values, indexes and relationships kept with them) belong here; the
// engine's own code reaches the pages beneath through the transaction
// (transaction.h).
class Change {
 protected:
  Change() = default;
  ~Change() = default;
  Change(const Change&) = delete;
  Change& operator=(const Change&) = delete;
};

}  // namespace jet
