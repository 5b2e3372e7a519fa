#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPrinter>
#include <vector>

#include "fixtures.h"
#include "list_dataset.h"
#include "recording_canvas.h"
#include "scripted_dialogs.h"
#include "sql/printer_layout.h"
#include "sql/report_printer.h"
#include "sql/write_report.h"

namespace tabrix {
namespace {

const ReportContext kContext{QLocale(QLocale::Polish, QLocale::Poland),
                             [] { return QDateTime(QDate(2015, 3, 2), QTime(14, 5, 9)); }};

// What a user picks in the print dialog: a PDF file on A4 paper.
void choosePdf(QPrinter& printer, const QString& file) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(QPageSize(QPageSize::A4));
}

// The pages of a PDF file as Qt writes it: one "/Type /Page" line each.
int pdfPageCount(const QString& file) {
  QFile pdf(file);
  if (!pdf.open(QIODevice::ReadOnly)) return -1;
  int pages = 0;
  while (!pdf.atEnd())
    if (pdf.readLine().trimmed() == "/Type /Page") ++pages;
  return pages;
}

// The pages and font of a PDF printer, measured as the printer measures
// them, for the layout alone: what would be drawn where, without printing.
class PrinterMetricsCanvas : public RecordingCanvas {
 public:
  PrinterMetricsCanvas(QPrinter& printer, const QFont& font) : m_printer(printer), m_metrics(font, &printer) {}

  int pageWidth() const override { return m_printer.width(); }
  int pageHeight() const override { return m_printer.height(); }
  int charHeight() const override { return m_metrics.height(); }
  int averageCharWidth() const override { return m_metrics.averageCharWidth(); }
  int textWidth(QStringView text) const override { return m_metrics.horizontalAdvance(text.toString()); }

 private:
  QPrinter& m_printer;
  QFontMetrics m_metrics;
};

// A report destination that only lays its text out, and keeps it.
class LayoutDestination : public ReportDestination {
 public:
  explicit LayoutDestination(PrinterCanvas& canvas) : layout(canvas) {}
  bool open(const QLocale&) override { return true; }
  void write(QStringView written) override {
    text += written;
    layout.write(written);
  }
  void close() override {}

  PrinterLayout layout;
  QString text;
};


std::vector<ListDataset::Row> rowsOf(int count, const QString& text) {
  std::vector<ListDataset::Row> rows;
  for (int i = 1; i <= count; ++i) rows.push_back({std::int64_t{i}, text});
  return rows;
}

class ReportPrinterTest : public ::testing::Test {
 protected:
  ReportPrinterTest() { choosePdf(reference, pdf); }

  // Prints the report of `rows` to the PDF file.
  void print(const std::vector<ListDataset::Row>& rows, const QFont& font, const ReportOptions& options = {}) {
    dialogs.expectPrint([&](QPrinter& chosen) {
      choosePdf(chosen, pdf);
      return true;
    });
    ListDataset query = dataset(rows);
    query.open();
    ReportPrinter destination(printer, font);
    WriteReport(query, options, destination, kContext);
  }

  // Lays the same report out on the same printer, without printing; the
  // report's text goes into `text` when asked for.
  PrinterMetricsCanvas layOut(const std::vector<ListDataset::Row>& rows, const QFont& font,
                         const ReportOptions& options = {}, QString* text = nullptr) {
    PrinterMetricsCanvas canvas(reference, font);
    LayoutDestination destination(canvas);
    ListDataset query = dataset(rows);
    query.open();
    WriteReport(query, options, destination, kContext);
    if (text) *text = destination.text;
    return canvas;
  }

  static ListDataset dataset(const std::vector<ListDataset::Row>& rows) {
    return ListDataset({ListDataset::integer("ID"), ListDataset::text("Opis", 150)}, rows);
  }

  fixtures::TempDir dir;
  const QString pdf = QString::fromStdString((dir.path() / "raport.pdf").string());
  ScriptedDialogs dialogs;
  QPrinter printer{QPrinter::HighResolution};
  QPrinter reference{QPrinter::HighResolution};
};

TEST_F(ReportPrinterTest, PrintsPagesAsTheLayoutPlacesTheText) {
  // Each row's line, 165 characters, is wider than the page.
  const auto rows = rowsOf(100, "Kowalski");
  int previousLines = 0;
  for (const QFont& font : {defaultPrinterFont(), QFont("DejaVu Sans Mono", 14)}) {
    SCOPED_TRACE(font.toString().toStdString());
    print(rows, font);
    QString text;
    const PrinterMetricsCanvas laidOut = layOut(rows, font, {}, &text);
    EXPECT_GT(laidOut.pages, 1);
    EXPECT_EQ(pdfPageCount(pdf), laidOut.pages);

    // Nothing passes the right edge, nothing is lost, and the lines cut at
    // the edge go on on lines of their own.
    const QFontMetrics metrics(font, &reference);
    int lines = 0;
    QString drawn;
    for (std::size_t i = 0; i < laidOut.draws.size(); ++i) {
      const auto& draw = laidOut.draws[i];
      EXPECT_LE(draw.x + metrics.horizontalAdvance(draw.text), reference.width());
      if (i == 0 || draw.page != laidOut.draws[i - 1].page || draw.y != laidOut.draws[i - 1].y) ++lines;
      drawn += draw.text;
    }
    EXPECT_EQ(drawn, text.remove(QLatin1String("\r\n")));
    EXPECT_GE(lines, 1 + 2 * (1 + 100) + 1) << "the header and each row cut once at least";
    EXPECT_GT(lines, previousLines) << "a larger font takes more lines";
    previousLines = lines;
  }
}

TEST_F(ReportPrinterTest, PageBegunByTheLastLineEndIsPrintedEmpty) {
  // The number of rows whose last line end begins a new page.
  const QFont font = defaultPrinterFont();
  int count = 0;
  for (int n = 1; n < 400 && count == 0; ++n) {
    const PrinterMetricsCanvas canvas = layOut(rowsOf(n, "x"), font, {.noPad = true});
    const auto& last = canvas.draws.back();
    if (canvas.pages > last.page) count = n;
  }
  ASSERT_GT(count, 0);
  print(rowsOf(count, "x"), font, {.noPad = true});
  const PrinterMetricsCanvas laidOut = layOut(rowsOf(count, "x"), font, {.noPad = true});
  EXPECT_EQ(pdfPageCount(pdf), laidOut.pages);
  EXPECT_EQ(pdfPageCount(pdf), laidOut.draws.back().page + 1);
}

TEST_F(ReportPrinterTest, NothingIsPrintedWhenTheDialogIsCancelledOrTheJobCannotStart) {
  struct Case {
    QString file;
    bool print;
  };
  const Case cases[] = {
      {pdf, false},  // cancelled
      {QString::fromStdString((dir.path() / "nie ma" / "raport.pdf").string()), true},
  };
  for (const Case& c : cases) {
    dialogs.expectPrint([&](QPrinter& chosen) {
      choosePdf(chosen, c.file);
      return c.print;
    });
    ListDataset query = dataset(rowsOf(3, "a"));
    query.open();
    query.setRecNo(2);
    ReportPrinter destination(printer, defaultPrinterFont());
    EXPECT_NO_THROW(WriteReport(query, {}, destination, kContext));
    EXPECT_FALSE(QFileInfo::exists(c.file));
    EXPECT_EQ(query.recNo(), 2);
    EXPECT_FALSE(query.eof());
  }
}

TEST(DefaultPrinterFont, IsEightPointSansSerifWithFixedPitchRequested) {
  const QFont font = defaultPrinterFont();
  EXPECT_EQ(font.family(), "MS Sans Serif");
  EXPECT_EQ(font.pointSize(), 8);
  EXPECT_TRUE(font.fixedPitch());
  EXPECT_TRUE(QFontInfo(font).fixedPitch()) << "stands in with " << QFontInfo(font).family().toStdString();
}

}  // namespace
}  // namespace tabrix
