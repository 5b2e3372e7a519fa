#pragma once

#include <cstdint>
#include <string_view>

// The system catalogue, MSysObjects: one row per object of the database.
// See jet/doc/catalogue.md.
namespace jet::catalogue {

inline constexpr std::uint32_t kDefinitionPage = 2;  // MSysObjects' own definition
inline constexpr std::u16string_view kTableName = u"MSysObjects";

inline constexpr std::u16string_view kIdColumn = u"Id";
inline constexpr std::u16string_view kNameColumn = u"Name";
inline constexpr std::u16string_view kTypeColumn = u"Type";
inline constexpr std::u16string_view kFlagsColumn = u"Flags";
inline constexpr std::u16string_view kPropertiesColumn = u"LvProp";

inline constexpr std::uint32_t kIdPageMask = 0x00FFFFFF;  // a table's id holds its definition page

// Object types.
inline constexpr std::int64_t kTable = 1;
inline constexpr std::int64_t kLinkedOdbcTable = 4;
inline constexpr std::int64_t kQuery = 5;
inline constexpr std::int64_t kLinkedTable = 6;

// Flags: either bit marks a system object.
inline constexpr std::uint32_t kSystemFlags = 0x80000000u | 0x00000002u;

// A query's flags say what kind it is; these kinds change data instead of
// returning rows.
inline constexpr std::uint32_t kQueryKindMask = 0xF0;
inline constexpr std::uint32_t kDeleteQuery = 0x20;
inline constexpr std::uint32_t kUpdateQuery = 0x30;
inline constexpr std::uint32_t kAppendQuery = 0x40;
inline constexpr std::uint32_t kMakeTableQuery = 0x50;
inline constexpr std::uint32_t kDataDefinitionQuery = 0x60;

inline constexpr std::u16string_view kSystemPrefix = u"MSys";

}  // namespace jet::catalogue
