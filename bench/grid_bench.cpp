// A table opened in a table window, offscreen, against the same table opened
// in a dataset alone: the time to the first painted grid, the memory, and
// how fast the grid repaints after Ctrl+End, Ctrl+Home and page after page
// of Page Down.
//
//   grid_bench dataset DATABASE TABLE   the dataset alone: open time, memory
//   grid_bench window DATABASE TABLE    the main window connected, then
//                                       "Edytuj tablice" to the first paint,
//                                       memory, then the keys
//
// bench/grid runs both and compares them.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "bench/bench_support.h"
#include "data/connection.h"
#include "data/table_dataset.h"
#include "table/form_tablica.h"
#include "widgets/data_grid.h"
#include "widgets/file_name_box.h"

namespace {

using bench::Clock;
using bench::msSince;

// Memory is counted as RssAnon, the resident memory the process allocated:
// the code of the libraries a window first runs is file-backed, shared, and
// no memory the window holds.
long memoryKiB() { return bench::statusKiB("RssAnon"); }

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Runs the event loop until the widget has painted once more.
void untilPainted(PaintCounter& counter) {
  const int before = counter.paints;
  const auto start = Clock::now();
  while (counter.paints == before && msSince(start) < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A key pressed on the grid; the time until its viewport has repainted.
double timedKey(tabrix::DataGrid& grid, PaintCounter& counter, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  const auto start = Clock::now();
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(&grid, &press);
  QApplication::sendEvent(&grid, &release);
  untilPainted(counter);
  return msSince(start);
}

int datasetAlone(const QString& file, const QString& table) {
  tabrix::Connection connection;
  tabrix::TableDataset dataset;
  bench::attachTable(connection, dataset, file, table);
  const long before = memoryKiB();
  const auto start = Clock::now();
  dataset.open();
  const double ms = msSince(start);
  std::printf("rows: %d\n", dataset.recordCount());
  std::printf("open: %.0f ms\n", ms);
  std::printf("memory: +%ld KiB\n", memoryKiB() - before);
  std::printf("rows in memory: %zu KiB\n", dataset.memoryUsed() / 1024);
  return 0;
}

int inWindow(const QString& file, const QString& table) {
  // The main window as the user has it: connected, the table named.
  tabrix::FormMain main;
  main.show();
  main.findChild<tabrix::FileNameBox*>("fn")->setText(file);
  main.findChild<QPushButton*>("bt_OpenBaza")->click();
  main.findChild<QComboBox*>("ComboBox_Tables")->setEditText(table);
  QCoreApplication::processEvents();

  const long before = memoryKiB();
  const auto start = Clock::now();
  main.findChild<QPushButton*>("b_OpenTable")->click();
  auto* window = main.findChild<tabrix::TFormTablica*>();
  auto* grid = window ? window->findChild<tabrix::DataGrid*>("DBGrid") : nullptr;
  if (!grid) {
    std::fprintf(stderr, "grid_bench: the table window did not open\n");
    return 1;
  }
  PaintCounter painted(grid->viewport());
  untilPainted(painted);
  const double first = msSince(start);
  std::printf("rows: %d\n", window->table().recordCount());
  std::printf("open: %.0f ms\n", first);
  std::printf("memory: +%ld KiB\n", memoryKiB() - before);

  window->activateWindow();
  grid->setFocus();
  QCoreApplication::processEvents();
  std::printf("Ctrl+End: %.1f ms\n", timedKey(*grid, painted, Qt::Key_End, Qt::ControlModifier));
  std::printf("Ctrl+Home: %.1f ms\n", timedKey(*grid, painted, Qt::Key_Home, Qt::ControlModifier));

  std::vector<double> pages;
  while (window->table().position() < 10000 && pages.size() < 100000)
    pages.push_back(timedKey(*grid, painted, Qt::Key_PageDown));
  std::sort(pages.begin(), pages.end());
  double total = 0;
  for (double page : pages) total += page;
  std::printf("Page Down to row %d: %zu pages, median %.2f ms, mean %.2f ms, slowest %.2f ms\n",
              window->table().position() + 1, pages.size(), pages[pages.size() / 2], total / pages.size(),
              pages.back());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc != 4 || (mode != "dataset" && mode != "window")) {
    std::fprintf(stderr, "usage: grid_bench dataset|window DATABASE TABLE\n");
    return 2;
  }
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  try {
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString table = QString::fromLocal8Bit(argv[3]);
    return mode == "window" ? inWindow(file, table) : datasetAlone(file, table);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "grid_bench: %s\n", e.what());
    return 1;
  }
}
