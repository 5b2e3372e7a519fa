#pragma once

#include <QByteArray>
#include <QString>

namespace tabrix {

// Replaces the file `path` by `bytes` so that a crash leaves the old content
// or the new, never a part: the bytes go to a temporary file beside it,
// which is synced and renamed over it. An existing file keeps its
// permissions; a new one, and a missing folder, are its owner's only.
// Throws with the reason on failure; the old file then stays as it was.
void replaceFile(const QString& path, const QByteArray& bytes);

}  // namespace tabrix
