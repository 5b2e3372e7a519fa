#include "data/errors.h"

namespace tabrix {

namespace {

// Drivers end their messages with full stops, blanks and line breaks; the
// windows add their own punctuation.
QString withoutTrailingNoise(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && (text[end - 1] <= QChar(' ') || text[end - 1] == QChar('.'))) --end;
  return text.left(end);
}

}  // namespace

ProviderError::ProviderError(const QString& text)
    : std::runtime_error(withoutTrailingNoise(text).toStdString()) {}

}  // namespace tabrix
