#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <variant>

namespace tabrix {

// A GUID in the byte order of Windows' GUID structure (the first three
// fields little-endian), as Access files and ODBC's SQLGUID on x86 hold it.
using Guid = std::array<std::uint8_t, 16>;

// One value outside the row store: a row being edited, a value being
// written. Which member is used follows the column's ValueKind; monostate is
// null.
using Cell = std::variant<std::monostate, bool, std::int64_t, double, Guid, QString, QByteArray>;

inline bool isNull(const Cell& cell) { return std::holds_alternative<std::monostate>(cell); }

}  // namespace tabrix
