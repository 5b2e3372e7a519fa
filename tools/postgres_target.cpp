#include "postgres_target.h"

#include <libpq-fe.h>

#include <regex>

#include "pg_copy.h"

namespace tabrix::cli {
namespace {

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// The server's words for a failed command, with its detail and hint; for
// a row refused in a COPY, which row (the COPY's line) and, where the
// server says, which column.
TargetError failure(const PGresult* result, pg_conn* connection) {
  if (!result) return TargetError(trimmed(PQerrorMessage(connection)));
  auto field = [&](int code) {
    const char* text = PQresultErrorField(result, code);
    return text ? std::string(text) : std::string();
  };
  std::string message = field(PG_DIAG_MESSAGE_PRIMARY);
  if (message.empty()) message = trimmed(PQresultErrorMessage(result));
  if (const std::string detail = field(PG_DIAG_MESSAGE_DETAIL); !detail.empty()) message += " (" + detail + ")";
  std::uint64_t row = 0;
  std::string column = field(PG_DIAG_COLUMN_NAME);
  static const std::regex copyContext(R"(COPY [^\n]*, line (\d+)(?:, column ([^:\n]+))?)");
  std::smatch m;
  const std::string context = field(PG_DIAG_CONTEXT);
  if (std::regex_search(context, m, copyContext)) {
    row = std::stoull(m[1]);
    if (m[2].matched && column.empty()) column = m[2];
  }
  return TargetError(message, row, column);
}

void check(PGresult* result, pg_conn* connection, ExecStatusType wanted) {
  const bool ok = result && PQresultStatus(result) == wanted;
  if (ok) {
    PQclear(result);
    return;
  }
  TargetError error = failure(result, connection);
  PQclear(result);
  throw error;
}

class CopyWriter final : public RowWriter {
 public:
  CopyWriter(pg_conn* connection, const TablePlan& table) : connection_(connection), table_(table) {
    std::string columns;
    for (const std::string& c : table.columns) columns += (columns.empty() ? "" : ", ") + c;
    check(PQexec(connection_, ("COPY " + table.name + " (" + columns + ") FROM STDIN (FORMAT binary)").c_str()),
          connection_, PGRES_COPY_IN);
    copying_ = true;
    pgcopy::appendHeader(buffer_);
  }

  ~CopyWriter() override {
    // A copy left unfinished by an error is ended as failed, so the
    // connection can roll back.
    if (copying_) {
      PQputCopyEnd(connection_, "the conversion stopped");
      while (PGresult* r = PQgetResult(connection_)) PQclear(r);
    }
  }

  void write(jet::RowCursor& rows) override {
    ++row_;
    std::size_t column = 0;
    try {
      pgcopy::appendRow(buffer_, rows, table_.columns.size(), column);
    } catch (const std::invalid_argument& e) {
      throw TargetError(e.what(), row_, table_.source.columns[column].name);
    }
    if (buffer_.size() >= kChunk) send();
  }

  void finish() override {
    pgcopy::appendTrailer(buffer_);
    send();
    copying_ = false;
    if (PQputCopyEnd(connection_, nullptr) != 1) throw TargetError(trimmed(PQerrorMessage(connection_)));
    PGresult* result = PQgetResult(connection_);
    while (PGresult* more = PQgetResult(connection_)) PQclear(more);
    check(result, connection_, PGRES_COMMAND_OK);
  }

 private:
  static constexpr std::size_t kChunk = 1 << 18;

  void send() {
    if (!buffer_.empty() && PQputCopyData(connection_, buffer_.data(), static_cast<int>(buffer_.size())) != 1)
      throw TargetError(trimmed(PQerrorMessage(connection_)));
    buffer_.clear();
  }

  pg_conn* connection_;
  const TablePlan& table_;
  std::string buffer_;
  std::uint64_t row_ = 0;
  bool copying_ = false;
};

}  // namespace

PostgresTarget::PostgresTarget(const PostgresAddress& address) : connection_(PQconnectdb(address.uri.c_str())) {
  if (!connection_) throw TargetError("out of memory connecting to PostgreSQL");
  if (PQstatus(connection_) != CONNECTION_OK) {
    TargetError error("cannot connect to PostgreSQL: " + trimmed(PQerrorMessage(connection_)));
    PQfinish(connection_);
    throw error;
  }
  // Notices ("schema already exists, skipping") are no business of the user.
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
  if (PQsetClientEncoding(connection_, "UTF8") != 0) {
    TargetError error("the PostgreSQL server won't take UTF-8: " + trimmed(PQerrorMessage(connection_)));
    PQfinish(connection_);
    throw error;
  }
}

PostgresTarget::~PostgresTarget() { PQfinish(connection_); }

void PostgresTarget::begin() { execute("BEGIN"); }

void PostgresTarget::execute(const std::string& statement) {
  check(PQexec(connection_, statement.c_str()), connection_, PGRES_COMMAND_OK);
}

std::unique_ptr<RowWriter> PostgresTarget::rows(const TablePlan& table) {
  return std::make_unique<CopyWriter>(connection_, table);
}

void PostgresTarget::commit() { execute("COMMIT"); }

void PostgresTarget::rollback() noexcept { PQclear(PQexec(connection_, "ROLLBACK")); }

}  // namespace tabrix::cli
