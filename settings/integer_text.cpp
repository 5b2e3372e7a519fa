#include "settings/integer_text.h"

#include <cstdint>
#include <limits>

namespace tabrix {

std::optional<int> parseInteger(QStringView text) {
  bool negative = false;
  if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text = text.sliced(1);
  }
  if (text.isEmpty()) return std::nullopt;
  // The magnitude of the most negative value is one more than the largest.
  const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c.unicode() - u'0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace tabrix
