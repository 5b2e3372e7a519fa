#include "convert.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tabrix::cli {
namespace {

// What failed, where the target said it did, and why.
std::runtime_error located(std::string what, const TargetError& e) {
  if (e.row() != 0) what += ", row " + std::to_string(e.row());
  if (!e.column().empty()) what += ", column " + e.column();
  return std::runtime_error(what + ": " + e.what());
}

class Run {
 public:
  Run(const jet::Database& db, const SchemaPlan& plan, Target& target, Progress& progress)
      : db_(db), plan_(plan), target_(target), progress_(progress) {}

  std::vector<CopiedTable> all(bool singleTransaction) {
    try {
      if (singleTransaction) {
        inTransaction([&] {
          prelude();
          for (const TablePlan& t : plan_.tables) copy(t);
          foreignKeys();
        });
      } else {
        if (!plan_.prelude.empty()) inTransaction([&] { prelude(); });
        for (const TablePlan& t : plan_.tables) inTransaction([&] { copy(t); });
        inTransaction([&] { foreignKeys(); });
      }
      target_.complete();
    } catch (...) {
      target_.abandon();
      throw;
    }
    return copied_;
  }

 private:
  template <typename Work>
  void inTransaction(Work work) {
    target_.begin();
    try {
      work();
      target_.commit();
    } catch (const TargetError& e) {
      target_.rollback();
      throw located("cannot commit", e);
    } catch (...) {
      target_.rollback();
      throw;
    }
  }

  void prelude() {
    try {
      for (const std::string& s : plan_.prelude) target_.execute(s);
    } catch (const TargetError& e) {
      throw located("cannot prepare the target", e);
    }
  }

  void copy(const TablePlan& t) {
    std::uint64_t count = 0;
    try {
      for (const std::string& s : t.create) target_.execute(s);
      std::int64_t highest = 0;
      {
        auto rows = db_.rows(t.source.name);
        auto writer = target_.rows(t);
        progress_.startTable(t.source.name, t.source.rowCount);
        while (rows->next()) {
          writer->write(*rows);
          ++count;
          if (t.identity) {
            const jet::Value& v = rows->value(*t.identity);
            if (!v.null) highest = std::max(highest, v.integer);
          }
          progress_.row();
        }
        writer->finish();
      }
      progress_.indexing();
      for (const std::string& s : t.indexes) target_.execute(s);
      // An identity at the type's end can't go on; the next insert fails
      // there as it would in Access.
      if (t.identity && highest > 0 && highest < std::numeric_limits<std::int32_t>::max())
        target_.execute(continueIdentity(t, highest + 1));
      progress_.endTable();
    } catch (const TargetError& e) {
      progress_.endTable();
      throw located("cannot copy table " + t.source.name, e);
    } catch (...) {
      progress_.endTable();
      throw;
    }
    copied_.push_back({t.source.name, count});
  }

  void foreignKeys() {
    for (std::size_t i = 0; i < plan_.foreignKeys.size(); ++i) {
      try {
        target_.execute(plan_.foreignKeys[i]);
      } catch (const TargetError& e) {
        throw located("cannot add the foreign key for relationship " + plan_.relationships[i].relationship, e);
      }
    }
    try {
      target_.checkForeignKeys(plan_);
    } catch (const TargetError& e) {
      throw located("the rows break a foreign key", e);
    }
  }

  const jet::Database& db_;
  const SchemaPlan& plan_;
  Target& target_;
  Progress& progress_;
  std::vector<CopiedTable> copied_;
};

}  // namespace

std::vector<CopiedTable> convert(const jet::Database& db, const SchemaPlan& plan, Target& target,
                                 bool singleTransaction, Progress& progress) {
  return Run(db, plan, target, progress).all(singleTransaction);
}

}  // namespace tabrix::cli
