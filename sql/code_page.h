#pragma once

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tabrix {

// Converters to and from the 8-bit code page of a locale (data/ansi_code_page.h
// names it), held for the whole of a report rather than made for each piece;
// Latin-1 where the system's converters lack that page.
QStringEncoder codePageEncoder(const QLocale& locale);
QStringDecoder codePageDecoder(const QLocale& locale);

}  // namespace tabrix
