#include "data/ansi_code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tabrix {

QByteArray ansiCodePage(const QLocale& locale) {
  switch (locale.language()) {
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian:
    case QLocale::Albanian:
    case QLocale::Bosnian:
    case QLocale::LowerSorbian:
    case QLocale::UpperSorbian:
      return "windows-1250";
    case QLocale::Serbian:
      return locale.script() == QLocale::CyrillicScript ? "windows-1251" : "windows-1250";
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Tatar:
    case QLocale::Bashkir:
    case QLocale::Mongolian:
      return "windows-1251";
    case QLocale::Greek:
      return "windows-1253";
    case QLocale::Turkish:
    case QLocale::Azerbaijani:
      return "windows-1254";
    case QLocale::Hebrew:
      return "windows-1255";
    case QLocale::Arabic:
    case QLocale::Persian:
    case QLocale::Urdu:
      return "windows-1256";
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian:
      return "windows-1257";
    case QLocale::Vietnamese:
      return "windows-1258";
    case QLocale::Thai:
      return "windows-874";
    case QLocale::Japanese:
      return "Shift_JIS";
    case QLocale::Korean:
      return "windows-949";
    case QLocale::Chinese:
      return locale.script() == QLocale::TraditionalChineseScript ? "Big5" : "GBK";
    default:
      return "windows-1252";
  }
}

QString fromAnsi(QByteArrayView bytes, const QLocale& locale) {
  QStringDecoder decoder(ansiCodePage(locale).constData());
  if (!decoder.isValid()) decoder = QStringDecoder(QStringConverter::Latin1);
  return decoder(bytes);
}

QByteArray toAnsi(QStringView text, const QLocale& locale) {
  QStringEncoder encoder(ansiCodePage(locale).constData());
  if (!encoder.isValid()) encoder = QStringEncoder(QStringConverter::Latin1);
  return encoder(text);
}

}  // namespace tabrix
