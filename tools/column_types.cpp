#include "column_types.h"

namespace tabrix::cli {

std::string columnType(const jet::Column& c, Dialect dialect) {
  const bool postgres = dialect == Dialect::Postgres;
  using jet::ColumnType;
  switch (c.type) {
    case ColumnType::Boolean: return "boolean";
    case ColumnType::Byte:
    case ColumnType::Integer: return "smallint";
    case ColumnType::Long: return "integer";
    case ColumnType::Single: return "real";
    case ColumnType::Double: return postgres ? "double precision" : "double";
    case ColumnType::Currency: return "numeric(19,4)";
    case ColumnType::Numeric:
      if (c.precision == 0) return "numeric";  // no precision recorded: unconstrained
      return "numeric(" + std::to_string(c.precision) + "," + std::to_string(c.scale) + ")";
    case ColumnType::DateTime: return postgres ? "timestamp" : "datetime";
    case ColumnType::Text: return c.size > 0 ? "varchar(" + std::to_string(c.size) + ")" : "text";
    case ColumnType::Memo: return "text";
    case ColumnType::Guid: return postgres ? "uuid" : "guid";
    case ColumnType::Binary:
    case ColumnType::OLE: return postgres ? "bytea" : "blob";
  }
  return "text";
}

}  // namespace tabrix::cli
