// Writes the result report of a table opened through the data access
// component's built-in engine driver, the way "Save TXT" writes a query's
// rows, and prints what the report alone cost: its time, and the growth of
// the process's peak resident memory while it ran. To tell the report's own
// work from the data access component's, it first times a pass that only
// asks every field of every row for its text, as the report does.
//
//   report_bench DATABASE TABLE REPORT_FILE

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <fstream>
#include <utility>
#include <vector>
#include <sys/resource.h>

#include "bench_support.h"
#include "sql/report_file.h"
#include "sql/write_report.h"
#include "widgets/dialogs.h"

namespace {

using bench::Clock;
using bench::msSince;
using bench::statusKiB;

// The processor time the process has used, user and system, in ms: steadier
// than the wall clock on a busy machine.
double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Starts the peak resident memory (VmHWM) over from the current one.
bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear.flush());
}

// The save dialog answered with the file given on the command line.
class FixedSaveDialog : public tabrix::Dialogs {
 public:
  explicit FixedSaveDialog(QString file) : m_file(std::move(file)) {}
  tabrix::MessageButton message(const tabrix::MessageBoxContent&) override { return tabrix::MessageButton::Ok; }
  int exec(QDialog&) override { return 0; }
  QString openFileName(const tabrix::FileDialogSetup&) override { return {}; }
  QString saveFileName(const tabrix::FileDialogSetup&) override { return m_file; }
  std::optional<QFont> font(const tabrix::FontDialogSetup&) override { return std::nullopt; }
  bool print(QPrinter&) override { return false; }
  void beep() override {}

 private:
  QString m_file;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: report_bench DATABASE TABLE REPORT_FILE\n");
    return 2;
  }
  const QLocale polish(QLocale::Polish, QLocale::Poland);
  QLocale::setDefault(polish);
  const QString file = QString::fromLocal8Bit(argv[1]);
  const QString table = QString::fromLocal8Bit(argv[2]);
  FixedSaveDialog saveDialog(QString::fromLocal8Bit(argv[3]));
  tabrix::installDialogs(&saveDialog);

  try {
    tabrix::Connection connection;
    tabrix::TableDataset dataset;
    bench::attachTable(connection, dataset, file, table);
    auto start = Clock::now();
    dataset.open();
    const double openMs = msSince(start);

    // The floor: one pass asking every value for its text, nothing written.
    start = Clock::now();
    double cpuStart = cpuMs();
    std::size_t characters = 0;
    for (dataset.first(); !dataset.eof(); dataset.next())
      for (int i = 0; i < dataset.fieldCount(); ++i) characters += dataset.field(i).text().size();
    const double textsMs = msSince(start);
    const double textsCpuMs = cpuMs() - cpuStart;

    // The same pass column by column, against a walk that asks nothing: where
    // the texts' time goes.
    std::size_t walked = 0;  // printed, so that no pass can be left out
    const auto walkMs = [&](int field) {
      const double cpuAtStart = cpuMs();
      for (dataset.first(); !dataset.eof(); dataset.next()) walked += field < 0 ? 1 : dataset.field(field).text().size();
      return cpuMs() - cpuAtStart;
    };
    std::vector<std::pair<QString, double>> byColumn{{QStringLiteral("(the walk alone)"), walkMs(-1)}};
    for (int i = 0; i < dataset.fieldCount(); ++i) byColumn.emplace_back(dataset.field(i).name(), walkMs(i));

    const bool peakReset = resetPeak();
    const long rssBefore = statusKiB("VmRSS");
    tabrix::FileDialogSetup setup = tabrix::reportSaveDialog();
    tabrix::ReportFile destination(setup);
    start = Clock::now();
    cpuStart = cpuMs();
    tabrix::WriteReport(dataset, {}, destination, {polish, [] { return QDateTime::currentDateTime(); }});
    const double reportMs = msSince(start);
    const double reportCpuMs = cpuMs() - cpuStart;
    const long peak = statusKiB("VmHWM");

    std::printf("%s, table %s: %d rows, %d fields\n", qPrintable(file), qPrintable(table), dataset.recordCount(),
                dataset.fieldCount());
    std::printf("open: %.0f ms (not part of the report)\n", openMs);
    std::printf("values' texts alone: %.0f ms, processor %.0f ms (%.1f M characters)\n", textsMs, textsCpuMs,
                characters / 1e6);
    std::printf("values' texts by column, processor time of a pass (%zu characters):", walked);
    for (const auto& [name, ms] : byColumn) std::printf(" %s %.0f ms;", qPrintable(name), ms);
    std::printf("\n");
    std::printf("report: %.0f ms, processor %.0f ms, %.1f MiB written; its own work beyond the texts: %.0f ms, "
                "processor %.0f ms\n",
                reportMs, reportCpuMs, QFileInfo(setup.fileName).size() / 1048576.0, reportMs - textsMs,
                reportCpuMs - textsCpuMs);
    if (peakReset)
      std::printf("resident: %.1f MiB before the report, peak during it %.1f MiB (+%.1f MiB)\n", rssBefore / 1024.0,
                  peak / 1024.0, (peak - rssBefore) / 1024.0);
    else
      std::printf("resident: the peak could not be reset (/proc/self/clear_refs)\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "report_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
