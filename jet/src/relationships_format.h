#pragma once

#include <cstdint>
#include <string_view>

// The system table of relationships, MSysRelationships: one row per column
// pair of each relationship. See jet/doc/relationships.md.
namespace jet::relationships {

inline constexpr std::u16string_view kTableName = u"MSysRelationships";

inline constexpr std::u16string_view kNameColumn = u"szRelationship";
inline constexpr std::u16string_view kTableColumn = u"szObject";
inline constexpr std::u16string_view kColumnColumn = u"szColumn";
inline constexpr std::u16string_view kReferencedTableColumn = u"szReferencedObject";
inline constexpr std::u16string_view kReferencedColumnColumn = u"szReferencedColumn";
inline constexpr std::u16string_view kFlagsColumn = u"grbit";
inline constexpr std::u16string_view kPositionColumn = u"icolumn";  // the pair's place, from 0
inline constexpr std::u16string_view kCountColumn = u"ccolumn";     // the relationship's number of pairs

// grbit.
inline constexpr std::uint32_t kNotEnforced = 0x00000002;
inline constexpr std::uint32_t kCascadeUpdates = 0x00000100;
inline constexpr std::uint32_t kCascadeDeletes = 0x00001000;
inline constexpr std::uint32_t kCascadeNull = 0x00002000;

}  // namespace jet::relationships
