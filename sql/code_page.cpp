#include "sql/code_page.h"

#include "data/ansi_code_page.h"

namespace tabrix {

QStringEncoder codePageEncoder(const QLocale& locale) {
  QStringEncoder encoder(ansiCodePage(locale).constData());
  return encoder.isValid() ? std::move(encoder) : QStringEncoder(QStringConverter::Latin1);
}

QStringDecoder codePageDecoder(const QLocale& locale) {
  QStringDecoder decoder(ansiCodePage(locale).constData());
  return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::Latin1);
}

}  // namespace tabrix
