#pragma once

#include <cstdint>
#include <string_view>

// The properties blob of a catalogue entry (MSysObjects.LvProp): a mark,
// then chunks. See jet/doc/catalogue.md.
namespace jet::props {

inline constexpr std::string_view kJet3Mark{"KKD\0", 4};
inline constexpr std::string_view kJet4Mark{"MR2\0", 4};

// A chunk: 4 bytes of length (itself included), 2 bytes of kind.
inline constexpr int kChunkHeader = 6;
inline constexpr std::uint16_t kNamesChunk = 0x80;  // the property names the value chunks refer to
inline constexpr std::uint16_t kObjectChunk = 0x00;  // properties of the object itself
inline constexpr std::uint16_t kColumnChunk = 0x01;  // properties of one column, named
inline constexpr std::uint16_t kOtherChunk = 0x02;

// A value chunk starts with 4 bytes of length, 2 of name length and the
// name; then entries of: 2 bytes entry length, 1 flag byte, 1 type byte,
// 2 bytes name index, 2 bytes value length, the value.
inline constexpr int kEntryHeader = 8;
inline constexpr int kEntryType = 3;
inline constexpr int kEntryNameIndex = 4;
inline constexpr int kEntryValueLength = 6;

// The properties the engine reads. An entry's type byte is a column type:
// DefaultValue is text, an Access expression.
inline constexpr std::u16string_view kRequired = u"Required";
inline constexpr std::u16string_view kDefaultValue = u"DefaultValue";

}  // namespace jet::props
