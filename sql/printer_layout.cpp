#include "sql/printer_layout.h"

#include <algorithm>

namespace tabrix {

namespace {

// A cut never falls between the two halves of a surrogate pair.
qsizetype whole(QStringView text, qsizetype length) {
  return length > 0 && length < text.size() && text[length - 1].isHighSurrogate() ? length - 1 : length;
}

}  // namespace

void PrinterLayout::write(QStringView text) {
  while (!text.isEmpty()) {
    const qsizetype length = whole(text, std::min(text.size(), kPieceLength));
    writePiece(text.first(length));
    text = text.sliced(length);
  }
}

void PrinterLayout::writePiece(QStringView piece) {
  qsizetype start = 0;
  for (qsizetype i = 0; i < piece.size(); ++i) {
    const char16_t c = piece[i].unicode();
    if (c != u'\t' && c != u'\n' && c != u'\f' && c != u'\r') continue;
    drawRun(piece.sliced(start, i - start));
    start = i + 1;
    if (c == u'\t')
      tab();
    else if (c == u'\n')
      lineFeed();
    else if (c == u'\f')
      formFeed();
  }
  drawRun(piece.sliced(start));
}

void PrinterLayout::drawRun(QStringView run) {
  while (!run.isEmpty()) {
    qsizetype length = run.size();
    int width = m_canvas.textWidth(run);
    if (m_x + width > m_canvas.pageWidth()) {
      length = fittingLength(run);
      // A character wider than the whole line is drawn alone, cut off by the
      // edge, rather than moved to one new line after another.
      if (length == 0 && m_x == 0) length = run[0].isHighSurrogate() && run.size() > 1 ? 2 : 1;
      width = m_canvas.textWidth(run.first(length));
    }
    if (length > 0) {
      m_canvas.drawText(m_x, m_y, run.first(length));
      const int height = m_canvas.charHeight();
      if (height > m_lineHeight) m_lineHeight = height + 2;
    }
    run = run.sliced(length);
    if (run.isEmpty())
      m_x += width;
    else
      lineFeed();
  }
}

qsizetype PrinterLayout::fittingLength(QStringView run) const {
  // Widths grow with the length: the longest prefix that fits, by halving.
  qsizetype fits = 0;
  qsizetype passes = run.size();
  while (passes - fits > 1) {
    const qsizetype middle = fits + (passes - fits) / 2;
    if (m_x + m_canvas.textWidth(run.first(middle)) <= m_canvas.pageWidth())
      fits = middle;
    else
      passes = middle;
  }
  return whole(run, fits);
}

void PrinterLayout::lineFeed() {
  m_x = 0;
  m_y += m_lineHeight == 0 ? m_canvas.charHeight() : m_lineHeight;
  if (m_y > m_canvas.pageHeight() - 2 * m_lineHeight) formFeed();
  m_lineHeight = 0;
}

void PrinterLayout::tab() {
  const int stop = std::max(8 * m_canvas.averageCharWidth(), 1);
  m_x = m_x + stop - ((m_x + stop + 1) % stop) + 1;
  if (m_x > m_canvas.pageWidth()) lineFeed();
}

void PrinterLayout::formFeed() {
  m_canvas.newPage();
  m_x = 0;
  m_y = 0;
}

}  // namespace tabrix
