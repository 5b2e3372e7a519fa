#pragma once

#include "jet/change.h"
#include "transaction.h"

namespace jet {

// A Change as the engine makes it: the transaction beneath, for the
// engine's own code (and its tests) to work on pages.
class TransactionChange final : public Change {
 public:
  explicit TransactionChange(Transaction& transaction) : transaction_(transaction) {}
  Transaction& transaction() { return transaction_; }

 private:
  Transaction& transaction_;
};

// The transaction of a change handed out by Database::write().
inline Transaction& transactionOf(Change& change) { return static_cast<TransactionChange&>(change).transaction(); }

}  // namespace jet
