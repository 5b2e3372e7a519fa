#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringView>

namespace tabrix {

// The Windows ANSI code page that goes with a locale, as an encoding name
// QStringDecoder knows: windows-1250 for Polish and the other Central
// European languages, windows-1251 for Russian and the other Cyrillic ones,
// …, windows-1252 for the rest.
QByteArray ansiCodePage(const QLocale& locale = QLocale());

// Bytes in the locale's ANSI code page to text, one character per byte for
// the single-byte pages.
QString fromAnsi(QByteArrayView bytes, const QLocale& locale = QLocale());
// Text to bytes in the locale's ANSI code page; characters it lacks become "?".
QByteArray toAnsi(QStringView text, const QLocale& locale = QLocale());

}  // namespace tabrix
