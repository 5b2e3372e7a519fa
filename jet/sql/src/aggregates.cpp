// The aggregates SQLite lacks: First, Last, StDev, StDevP, Var, VarP.

#include <cmath>

#include "functions.h"

namespace jet::sql {
namespace {

struct Kept {
  sqlite3_value* value;
  bool seen;
};

// First and Last keep the value of the first or the last row of the
// group as it comes, Null included.
template <bool Last>
void keepStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
  if (!kept) return sqlite3_result_error_nomem(ctx);
  if (kept->seen && !Last) return;
  sqlite3_value_free(kept->value);
  kept->value = sqlite3_value_dup(argv[0]);
  kept->seen = true;
  if (!kept->value && sqlite3_value_type(argv[0]) != SQLITE_NULL) sqlite3_result_error_nomem(ctx);
}

void keepFinal(sqlite3_context* ctx) {
  auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, 0));
  if (!kept || !kept->value) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, kept->value);
  sqlite3_value_free(kept->value);
  kept->value = nullptr;
}

struct Spread {
  double count;
  double mean;
  double squares;  // sum of squared differences from the mean
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
  if (!s) return sqlite3_result_error_nomem(ctx);
  // Welford's method: steady for long runs of close values.
  const double x = sqlite3_value_double(argv[0]);
  s->count += 1;
  const double delta = x - s->mean;
  s->mean += delta / s->count;
  s->squares += delta * (x - s->mean);
}

template <bool Sample, bool Root>
void spreadFinal(sqlite3_context* ctx) {
  auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
  const double n = s ? s->count : 0;
  if (n < (Sample ? 2 : 1)) return sqlite3_result_null(ctx);
  const double variance = s->squares / (Sample ? n - 1 : n);
  sqlite3_result_double(ctx, Root ? std::sqrt(variance) : variance);
}

void addAggregate(sqlite3* db, Context& context, const char* name, void (*step)(sqlite3_context*, int, sqlite3_value**),
                  void (*final)(sqlite3_context*)) {
  sqlite3_create_function_v2(db, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &context, nullptr, step, final, nullptr);
}

}  // namespace

void registerAggregates(sqlite3* db, Context& context) {
  addAggregate(db, context, "jet_first", keepStep<false>, keepFinal);
  addAggregate(db, context, "jet_last", keepStep<true>, keepFinal);
  addAggregate(db, context, "jet_stdev", spreadStep, spreadFinal<true, true>);
  addAggregate(db, context, "jet_stdevp", spreadStep, spreadFinal<false, true>);
  addAggregate(db, context, "jet_var", spreadStep, spreadFinal<true, false>);
  addAggregate(db, context, "jet_varp", spreadStep, spreadFinal<false, false>);
}

}  // namespace jet::sql
