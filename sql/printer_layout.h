#pragma once

#include <QStringView>

namespace tabrix {

// What the printer layout needs of a page and its font, and what it does on
// the page. Everything is in printer pixels, from the top-left corner of the
// page's printable area.
class PrinterCanvas {
 public:
  virtual ~PrinterCanvas() = default;

  // The printable area.
  virtual int pageWidth() const = 0;
  virtual int pageHeight() const = 0;
  // The font's character height: the height of any text drawn in it.
  virtual int charHeight() const = 0;
  virtual int averageCharWidth() const = 0;
  virtual int textWidth(QStringView text) const = 0;

  // Draws text with its top at y, starting at x.
  virtual void drawText(int x, int y, QStringView text) = 0;
  virtual void newPage() = 0;
};

// Lays text out on printer pages the way a text device does: text runs left
// to right from the top-left corner, is cut where it would pass the right
// edge and goes on on the next line; line feed, tab and form feed move the
// position; a line that would come too near the bottom begins a new page.
//
// Each write is taken in pieces of at most kPieceLength characters, and each
// piece is measured and cut on its own. A carriage return moves nothing.
class PrinterLayout {
 public:
  static constexpr qsizetype kPieceLength = 128;

  explicit PrinterLayout(PrinterCanvas& canvas) : m_canvas(canvas) {}

  void write(QStringView text);

  int x() const { return m_x; }
  int y() const { return m_y; }
  // 0 until something is drawn on the line, then the text's height plus 2.
  int lineHeight() const { return m_lineHeight; }

 private:
  void writePiece(QStringView piece);
  void drawRun(QStringView run);
  // How many characters of `run` fit between x and the right edge.
  qsizetype fittingLength(QStringView run) const;
  void lineFeed();
  void tab();
  void formFeed();

  PrinterCanvas& m_canvas;
  int m_x = 0;
  int m_y = 0;
  int m_lineHeight = 0;
};

}  // namespace tabrix
