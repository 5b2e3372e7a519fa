#include "properties.h"

#include <algorithm>

#include "bytes.h"
#include "jet/value.h"
#include "properties_format.h"
#include "text_codec.h"

namespace jet {
namespace {

bool isText(std::uint8_t type) {
  return type == static_cast<std::uint8_t>(ColumnType::Text) || type == static_cast<std::uint8_t>(ColumnType::Memo);
}

}  // namespace

ColumnProperties readColumnProperties(std::span<const std::byte> blob, const TextCodec& codec) {
  ColumnProperties found;
  auto isMark = [&](std::string_view mark) {
    return blob.size() >= mark.size() &&
           std::equal(mark.begin(), mark.end(), blob.begin(), [](char c, std::byte b) { return std::byte(c) == b; });
  };
  if (!isMark(props::kJet3Mark) && !isMark(props::kJet4Mark)) return found;

  std::vector<std::u16string> names;
  std::size_t pos = props::kJet4Mark.size();
  while (pos + props::kChunkHeader <= blob.size()) {
    const std::size_t chunkLength = getU32(&blob[pos]);
    const std::uint16_t kind = getU16(&blob[pos + 4]);
    if (chunkLength < props::kChunkHeader || chunkLength > blob.size() - pos) break;
    const std::size_t end = pos + chunkLength;
    std::size_t p = pos + props::kChunkHeader;
    if (kind == props::kNamesChunk) {
      names.clear();
      while (p + 2 <= end) {
        std::size_t length = getU16(&blob[p]);
        p += 2;
        if (length > end - p) break;
        names.push_back(codec.decode(blob.subspan(p, length)));
        p += length;
      }
    } else if (kind == props::kColumnChunk && p + 6 <= end) {
      std::size_t nameLength = getU16(&blob[p + 4]);
      p += 6;
      if (nameLength > end - p) break;
      std::u16string column = codec.decode(blob.subspan(p, nameLength));
      p += nameLength;
      while (p + props::kEntryHeader <= end) {
        std::size_t entryLength = getU16(&blob[p]);
        if (entryLength < props::kEntryHeader || entryLength > end - p) break;
        std::size_t nameIndex = getU16(&blob[p + props::kEntryNameIndex]);
        std::size_t valueLength = getU16(&blob[p + props::kEntryValueLength]);
        if (nameIndex < names.size() && props::kEntryHeader + valueLength <= entryLength) {
          const std::span<const std::byte> value = blob.subspan(p + props::kEntryHeader, valueLength);
          if (names[nameIndex] == props::kRequired && valueLength >= 1 && getU8(value.data()) != 0)
            found.required.push_back(column);
          else if (names[nameIndex] == props::kDefaultValue && isText(getU8(&blob[p + props::kEntryType])))
            found.defaults.emplace_back(column, codec.decode(value));
        }
        p += entryLength;
      }
    }
    pos = end;
  }
  return found;
}

}  // namespace jet
