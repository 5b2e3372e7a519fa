#include "page_allocator.h"

#include "transaction.h"
#include "usage_map_editor.h"
#include "usage_map_format.h"

namespace jet {

std::uint32_t PageAllocator::take() {
  UsageMapEditor map(transaction_, usage::kFreePageMap, "the free pages");
  const std::uint32_t end = transaction_.pageCount();
  if (std::optional<std::uint32_t> free = map.find(usage::kFirstFreeablePage, end)) {
    map.set(*free, false);
    return *free;
  }
  // A page added at the end. An inline map moves its window just far
  // enough to reach it: the pages the window leaves behind count as used
  // (a free one among them is lost until the file is compacted), the file's
  // pages it newly reaches are used, and those past the new end are free,
  // as Access has them.
  if (map.isInline() && !map.reaches(end) && map.windowSize() >= 8) {
    const std::uint32_t size = map.windowSize();
    const std::uint32_t lowest = end + 1 >= size ? end + 1 - size : 0;
    const std::uint32_t first = end < map.windowFirst() ? end / 8 * 8 : (lowest + 7) / 8 * 8;
    map.moveWindow(first, [&](std::uint32_t page) { return page > end; });
  }
  if (map.reaches(end)) map.set(end, false);
  return end;
}

void PageAllocator::giveBack(std::uint32_t page) {
  UsageMapEditor map(transaction_, usage::kFreePageMap, "the free pages");
  if (map.reaches(page)) map.set(page, true);
}

}  // namespace jet
