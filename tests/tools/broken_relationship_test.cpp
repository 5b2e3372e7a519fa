// Rows that break an enforced relationship (Access compares text keys
// without regard to case; the targets compare them exactly) stop the run
// with the relationship's name and the row, and leave nothing behind.

#include <gtest/gtest.h>

#include "convert.h"
#include "fixtures.h"
#include "given_database.h"
#include "given_values.h"
#include "pg_client.h"
#include "postgres_server.h"
#include "postgres_target.h"
#include "schema_plan.h"
#include "sqlite_target.h"

namespace {

using jet::ColumnType;

class BrokenRelationship : public ::testing::Test {
 protected:
  BrokenRelationship() {
    jet::Column key;
    key.name = "Code";
    key.type = ColumnType::Text;
    key.size = 5;
    jet::TableDef parent;
    parent.name = "Parent";
    parent.columns = {key};
    jet::Index pk;
    pk.name = "PrimaryKey";
    pk.primaryKey = pk.unique = true;
    pk.columns = {{0, true}};
    parent.indexes = {pk};
    db_.add(parent, {{store_.text(u"ABC")}});
    jet::TableDef child;
    child.name = "Child";
    key.name = "ParentCode";
    child.columns = {key};
    db_.add(child, {{store_.text(u"ABC")}, {store_.text(u"abc")}});
    db_.relate({"ParentChild", "Child", "Parent", {{"ParentCode", "Code"}}, true, false, false, false});
  }

  jettest::ValueStore store_;
  tooltest::GivenDatabase db_;
  tabrix::cli::Progress quiet_{-1};
};

TEST_F(BrokenRelationship, Sqlite) {
  fixtures::TempDir dir;
  tabrix::cli::PlanOptions options;
  options.dialect = tabrix::cli::Dialect::Sqlite;
  tabrix::cli::SqliteTarget target({(dir.path() / "broken.sqlite").string()});
  try {
    tabrix::cli::convert(db_, tabrix::cli::planSchema(db_, options), target, true, quiet_);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "the rows break a foreign key: relationship ParentChild: row 2 of Child refers to a row "
                           "of Parent that doesn't exist");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(BrokenRelationship, Postgres) {
  REQUIRE_POSTGRES();
  tabrix::cli::PlanOptions options;
  options.schema = "broken";
  tabrix::cli::PostgresTarget target({tooltest::PostgresServer::uri(), "broken"});
  try {
    tabrix::cli::convert(db_, tabrix::cli::planSchema(db_, options), target, true, quiet_);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(),
                 "cannot add the foreign key for relationship ParentChild: insert or update on table \"Child\" "
                 "violates foreign key constraint \"ParentChild\" (Key (ParentCode)=(abc) is not present in "
                 "table \"Parent\".)");
  }
  tooltest::PgClient pg(tooltest::PostgresServer::uri());
  EXPECT_TRUE(pg.query("SELECT 1 FROM pg_namespace WHERE nspname = 'broken'").empty());
}

}  // namespace
