#include "jet/sql/session.h"

#include "functions.h"
#include "parser.h"
#include "session_state.h"
#include "sqlite_error.h"
#include "text_order.h"
#include "translator.h"
#include "virtual_table.h"

namespace jet::sql {
namespace {

int collate(void*, int sizeA, const void* a, int sizeB, const void* b) {
  return compareText(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(sizeA)),
                     std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(sizeB)));
}

}  // namespace

Session::State::State(const Database& database) : context(database) {
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    db = nullptr;
    throw Error(ErrorKind::Evaluation, "The built-in engine could not start running SQL: not enough memory");
  }
  sqlite3_create_collation_v2(db, "JET", SQLITE_UTF8, nullptr, collate, nullptr);
  registerFunctions(db, context);
  registerTableModule(db, context);
  schema = std::make_unique<Schema>(db, context);
}

Session::State::~State() {
  schema.reset();
  sqlite3_close(db);
}

Session::Session(const Database& database) : state_(std::make_unique<State>(database)) {}

Session::~Session() = default;

std::unique_ptr<Statement> Session::prepare(std::string_view sql) {
  State& s = *state_;
  s.context.failure = nullptr;
  const ast::Statement parsed = parse(sql);
  Translator translator(*s.schema);
  auto state = std::make_unique<Statement::State>(s, translator.translate(parsed));
  if (!state->translation.sql.empty()) {
    const int rc = sqlite3_prepare_v2(s.db, state->translation.sql.c_str(),
                                      static_cast<int>(state->translation.sql.size()), &state->statement, nullptr);
    if (rc != SQLITE_OK) raise(s.context, s.db, rc, "preparing");
  }
  return std::make_unique<Statement>(std::move(state));
}

}  // namespace jet::sql
