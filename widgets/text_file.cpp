#include "widgets/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <langinfo.h>
#include <optional>

#include "data/ansi_code_page.h"
#include "widgets/line_breaks.h"

namespace tabrix {

namespace {

struct Mark {
  QByteArrayView bytes;
  const char* encoding;
};

const Mark kMarks[] = {
    {QByteArrayView("\xEF\xBB\xBF", 3), "UTF-8"},
    {QByteArrayView("\xFF\xFE", 2), "UTF-16LE"},
    {QByteArrayView("\xFE\xFF", 2), "UTF-16BE"},
};

QString nativeName(const QString& fileName) { return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()); }

[[noreturn]] void cannotOpen(const QString& fileName, const QString& reason) {
  throw TextFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(nativeName(fileName), reason));
}

[[noreturn]] void cannotCreate(const QString& fileName, const QString& reason) {
  throw TextFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(nativeName(fileName), reason));
}

bool isUtf8(const QByteArray& name) { return name.compare("UTF-8", Qt::CaseInsensitive) == 0; }

// The bytes as text, or nothing where they are no text in that encoding.
std::optional<QString> decoded(QByteArrayView bytes, const QByteArray& encoding) {
  QStringDecoder decoder(encoding.constData(), QStringDecoder::Flag::Stateless);
  if (!decoder.isValid()) return std::nullopt;
  // A UTF-16 file of an odd number of bytes ends in half a character.
  if (encoding.startsWith("UTF-16") && bytes.size() % 2 != 0) return std::nullopt;
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

}  // namespace

TextEncoding TextEncoding::system() {
  QByteArray name = nl_langinfo(CODESET);
  if (name.isEmpty() || name == "ANSI_X3.4-1968" || name.compare("ASCII", Qt::CaseInsensitive) == 0 ||
      name.compare("US-ASCII", Qt::CaseInsensitive) == 0)
    name = "UTF-8";
  return {name, false};
}

TextEncoding TextEncoding::windows() { return {ansiCodePage(), false}; }

TextFileContents readTextFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) cannotOpen(fileName, file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) cannotOpen(fileName, file.errorString());

  for (const Mark& mark : kMarks) {
    if (!bytes.startsWith(mark.bytes)) continue;
    const TextEncoding encoding{mark.encoding, true};
    const std::optional<QString> text = decoded(QByteArrayView(bytes).sliced(mark.bytes.size()), encoding.name);
    if (!text) cannotOpen(fileName, QStringLiteral("It is not text in %1").arg(QString::fromLatin1(encoding.name)));
    return {withCrLf(*text), encoding};
  }

  const TextEncoding system = TextEncoding::system();
  if (std::optional<QString> text = decoded(bytes, system.name)) return {withCrLf(*text), system};
  if (isUtf8(system.name)) {
    const TextEncoding windows = TextEncoding::windows();
    if (std::optional<QString> text = decoded(bytes, windows.name)) return {withCrLf(*text), windows};
  }
  cannotOpen(fileName, QStringLiteral("It is not text in %1").arg(QString::fromLatin1(system.name)));
}

void writeTextFile(const QString& fileName, const QString& text, const TextEncoding& encoding) {
  QStringEncoder encoder(encoding.name.constData(), encoding.byteOrderMark ? QStringEncoder::Flag::WriteBom
                                                                            : QStringEncoder::Flag::Default);
  if (!encoder.isValid()) cannotCreate(fileName, QStringLiteral("Unknown encoding %1").arg(QString::fromLatin1(encoding.name)));
  const QByteArray bytes = encoder(text);
  if (encoder.hasError())
    cannotCreate(fileName,
                 QStringLiteral("The text has characters that %1 cannot hold").arg(QString::fromLatin1(encoding.name)));

  // The new contents go in whole or not at all; a file the user made
  // read-only is not replaced, not even by a user whose rights would allow
  // it.
  const QFileInfo info(fileName);
  constexpr QFile::Permissions kWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
  if (info.exists() && (!info.isWritable() || !(info.permissions() & kWrite)))
    cannotCreate(fileName, QStringLiteral("Permission denied"));
  QSaveFile file(fileName);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) cannotCreate(fileName, file.errorString());
  if (file.write(bytes) != bytes.size() || !file.commit()) cannotCreate(fileName, file.errorString());
}

}  // namespace tabrix
