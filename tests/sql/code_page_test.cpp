#include <gtest/gtest.h>

#include <QLocale>
#include <string>

#include "data/ansi_code_page.h"
#include "sql/code_page.h"

namespace tabrix {
namespace {

// The report's encoder gives the bytes the system's converter gives for the
// whole text, however the text is split into writes and however often a
// character comes back (from the second time on, from its table).
TEST(CodePageEncoder, GivesWhatTheConverterGivesForTheWholeText) {
  struct Case {
    QLocale locale;
    QString text;
  };
  const Case cases[] = {
      {QLocale(QLocale::Polish, QLocale::Poland), QString::fromUtf8("Zażółć gęślą jaźń: Łódź, ŁÓDŹ")},
      {QLocale(QLocale::Polish, QLocale::Poland), QString::fromUtf8("Жук, € and 😀 twice: Жук € 😀")},
      {QLocale(QLocale::Russian, QLocale::Russia), QString::fromUtf8("Съешь же ещё этих булок, Zażółć")},
      {QLocale(QLocale::German, QLocale::Germany), QString::fromUtf8("Straße – „Grüße“ … ÄÖÜ\r\n\t")},
      {QLocale(QLocale::Japanese, QLocale::Japan), QString::fromUtf8("日本語のテキスト and ASCII, 日本")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const QByteArray expected = toAnsi(c.text, c.locale);
    CodePageEncoder encoder(c.locale);
    std::string whole;
    encoder.append(c.text, whole);
    EXPECT_EQ(whole, expected.toStdString());
    // Written again, a word at a time, as the report writes cells.
    std::string pieces;
    const QStringList words = c.text.split(QChar(' '));
    for (qsizetype i = 0; i < words.size(); ++i) encoder.append(i ? QChar(' ') + words[i] : words[i], pieces);
    EXPECT_EQ(pieces, expected.toStdString());
  }
}

}  // namespace
}  // namespace tabrix
