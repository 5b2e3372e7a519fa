#pragma once

#include <QString>

namespace tabrix {

// The text with every line break, CR LF, a lone CR or a lone LF, as CR LF:
// the line breaks of memos and text files.
QString withCrLf(const QString& text);

}  // namespace tabrix
