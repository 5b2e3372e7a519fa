#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "recording_canvas.h"
#include "sql/printer_layout.h"

namespace tabrix {
namespace {

// A page 100 pixels square, a font 12 pixels high whose characters are 10
// pixels wide, but for "." (1 pixel) and "W" (150, wider than the page).
class FakeCanvas : public RecordingCanvas {
 public:
  int pageWidth() const override { return 100; }
  int pageHeight() const override { return 100; }
  int charHeight() const override { return 12; }
  int averageCharWidth() const override { return 10; }
  int textWidth(QStringView text) const override {
    int width = 0;
    for (QChar c : text) width += c == QChar('.') ? 1 : c == QChar('W') ? 150 : 10;
    return width;
  }
};

using Draws = std::vector<RecordingCanvas::Draw>;

class PrinterLayoutTest : public ::testing::Test {
 protected:
  FakeCanvas canvas;
  PrinterLayout layout{canvas};
};

TEST_F(PrinterLayoutTest, TextRunsRightAndLinesAreItsHeightPlusTwoApart) {
  EXPECT_EQ(layout.lineHeight(), 0);
  layout.write(u"ab");
  layout.write(u"cd");
  EXPECT_EQ(layout.x(), 40);
  EXPECT_EQ(layout.lineHeight(), 14);
  layout.write(u"\r");  // moves nothing
  EXPECT_EQ(layout.x(), 40);
  layout.write(u"\r\n");
  EXPECT_EQ(layout.x(), 0);
  EXPECT_EQ(layout.y(), 14);
  EXPECT_EQ(layout.lineHeight(), 0);
  layout.write(u"\n");  // a line with nothing drawn is the font's height
  EXPECT_EQ(layout.y(), 26);
  layout.write(u"e");
  EXPECT_EQ(canvas.draws, (Draws{{1, 0, 0, "ab"}, {1, 20, 0, "cd"}, {1, 0, 26, "e"}}));
}

TEST_F(PrinterLayoutTest, PieceThatWouldPassTheRightEdgeIsCutAfterItsLastCharacterThatFits) {
  struct Case {
    const char16_t* before;
    const char16_t* text;
    Draws draws;
  };
  const Case cases[] = {
      {u"", u"abcdefghijkl", {{1, 0, 0, "abcdefghij"}, {1, 0, 14, "kl"}}},
      {u"", u"abcdefghij", {{1, 0, 0, "abcdefghij"}}},  // exactly the width
      {u"", u"abcdefghijklmnopqrstuvwxy",
       {{1, 0, 0, "abcdefghij"}, {1, 0, 14, "klmnopqrst"}, {1, 0, 28, "uvwxy"}}},
      {u"abcdefghij", u"k", {{1, 0, 0, "abcdefghij"}, {1, 0, 14, "k"}}},  // nothing fits: a line end first
      {u"..", u"abcdefghij", {{1, 0, 0, ".."}, {1, 2, 0, "abcdefghi"}, {1, 0, 14, "j"}}},
      // A character wider than the page is drawn alone rather than never.
      {u"", u"Wab", {{1, 0, 0, "W"}, {1, 0, 14, "ab"}}},
      {u"ab", u"W", {{1, 0, 0, "ab"}, {1, 0, 14, "W"}}},
      // Nor is a surrogate pair cut in two.
      {u"", u"aaaaaaaaa\U0001F600", {{1, 0, 0, "aaaaaaaaa"}, {1, 0, 14, QString::fromUtf8("\U0001F600")}}},
  };
  for (const Case& c : cases) {
    FakeCanvas canvas;
    PrinterLayout layout(canvas);
    layout.write(c.before);
    layout.write(c.text);
    EXPECT_EQ(canvas.draws, c.draws) << QString::fromUtf16(c.before).toStdString() << " then "
                                     << QString::fromUtf16(c.text).toStdString();
  }
}

TEST_F(PrinterLayoutTest, TabMovesToTheNextStopOfEightAverageCharacters) {
  struct Case {
    int dots;  // where the tab starts
    int x;     // where it leaves x
    int y;
  };
  const Case cases[] = {
      {0, 80, 0},
      {20, 80, 0},
      {78, 80, 0},
      {79, 0, 14},  // 79 + 80 − 0 + 1 = 160, past the edge: a line end
      {80, 0, 14},
  };
  for (const Case& c : cases) {
    FakeCanvas canvas;
    PrinterLayout layout(canvas);
    layout.write(QString(c.dots, QChar('.')));
    layout.write(u"\t");
    EXPECT_EQ(layout.x(), c.x) << "tab from " << c.dots;
    EXPECT_EQ(layout.y(), c.y) << "tab from " << c.dots;
  }
  layout.write(u"ab\tc");
  EXPECT_EQ(canvas.draws, (Draws{{1, 0, 0, "ab"}, {1, 80, 0, "c"}}));
}

TEST_F(PrinterLayoutTest, LineThatComesWithinTwoLinesOfTheBottomBeginsAPage) {
  // Lines 14 high: a line feed to a y beyond 100 − 2 × 14 = 72 begins a page.
  for (int i = 0; i < 7; ++i) layout.write(u"a\r\n");
  EXPECT_EQ(canvas.draws, (Draws{{1, 0, 0, "a"},
                                 {1, 0, 14, "a"},
                                 {1, 0, 28, "a"},
                                 {1, 0, 42, "a"},
                                 {1, 0, 56, "a"},
                                 {1, 0, 70, "a"},
                                 {2, 0, 0, "a"}}));
  EXPECT_EQ(layout.y(), 14);
  // Empty lines leave the line height 0: they reach the bottom itself.
  for (int i = 0; i < 7; ++i) layout.write(u"\n");
  EXPECT_EQ(layout.y(), 98);
  EXPECT_EQ(canvas.pages, 2);
  layout.write(u"\n");
  EXPECT_EQ(layout.y(), 0);
  EXPECT_EQ(canvas.pages, 3);
}

TEST_F(PrinterLayoutTest, FormFeedBeginsAPageAndKeepsTheLineHeight) {
  layout.write(u"ab\fcd\r\nef");
  EXPECT_EQ(canvas.draws, (Draws{{1, 0, 0, "ab"}, {2, 0, 0, "cd"}, {2, 0, 14, "ef"}}));
  layout.write(u"\f\n");
  EXPECT_EQ(canvas.pages, 3);
  EXPECT_EQ(layout.y(), 14);
}

TEST_F(PrinterLayoutTest, LongWritesArriveInPiecesOf128Characters) {
  layout.write(QString(300, QChar('.')));
  // Each piece is cut on its own: 128 = 100 + 28, 128 = 72 + 56, then 44.
  EXPECT_EQ(canvas.draws, (Draws{{1, 0, 0, QString(100, QChar('.'))},
                                 {1, 0, 14, QString(28, QChar('.'))},
                                 {1, 28, 14, QString(72, QChar('.'))},
                                 {1, 0, 28, QString(56, QChar('.'))},
                                 {1, 56, 28, QString(44, QChar('.'))}}));
}

}  // namespace
}  // namespace tabrix
