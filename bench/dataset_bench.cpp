// Opens a table through the data access component's built-in engine driver,
// the way a table window does, and prints what it cost: the time to open,
// the memory the rows take against the size of their values, and the time
// of a locate per keystroke.
//
//   dataset_bench DATABASE TABLE [TEXT_FIELD [NUMBER_FIELD]]

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "data/connection.h"
#include "data/table_dataset.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM").
long statusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

// What the values themselves take: the width of a fixed-size value (a
// Boolean as one byte), two bytes a character of text, the bytes of binary
// data; nothing for a null.
std::size_t valueBytes(const tabrix::Dataset& dataset) {
  using tabrix::DataType;
  std::size_t total = 0;
  for (int f = 0; f < dataset.fieldCount(); ++f) {
    const tabrix::Field& field = dataset.field(f);
    for (int row = 0; row < dataset.recordCount(); ++row) {
      if (dataset.isNullAt(row, f)) continue;
      switch (field.dataType()) {
        case DataType::Boolean:
        case DataType::TinyInt:
        case DataType::UnsignedTinyInt:
          total += 1;
          break;
        case DataType::SmallInt:
          total += 2;
          break;
        case DataType::Integer:
        case DataType::Single:
          total += 4;
          break;
        case DataType::GUID:
          total += 16;
          break;
        case DataType::VarBinary:
        case DataType::Binary:
        case DataType::LongVarBinary:
          total += dataset.valueAt(row, f).toByteArray().size();
          break;
        case DataType::Char:
        case DataType::VarChar:
        case DataType::LongVarChar:
        case DataType::Numeric:
          total += 2 * dataset.valueAt(row, f).toString().size();
          break;
        default:
          total += 8;
      }
    }
  }
  return total;
}

void locateKeystrokes(tabrix::TableDataset& dataset, const QString& field, const QString& text) {
  std::vector<double> times;
  for (qsizetype n = 1; n <= text.size(); ++n) {
    const auto start = Clock::now();
    const bool found = dataset.locate(field, text.left(n));
    times.push_back(msSince(start));
    if (!found) std::printf("  (\"%s\" not found)\n", qPrintable(text.left(n)));
  }
  const double first = times.front();
  std::vector<double> rest(times.begin() + 1, times.end());
  std::sort(rest.begin(), rest.end());
  std::printf("locate %-10s \"%s\": first keystroke %.1f ms (builds the index)", qPrintable(field), qPrintable(text),
              first);
  if (!rest.empty())
    std::printf(", then median %.3f ms, slowest %.3f ms over %zu keystrokes", rest[rest.size() / 2], rest.back(),
                rest.size());
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: dataset_bench DATABASE TABLE [TEXT_FIELD [NUMBER_FIELD]]\n");
    return 2;
  }
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  const QString file = QString::fromLocal8Bit(argv[1]);
  const QString table = QString::fromLocal8Bit(argv[2]);
  const QString textField = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Nazwa");
  const QString numberField = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("ID");

  try {
    tabrix::Connection connection;
    connection.setConnectionString(
        QStringLiteral("Password=;User ID=admin;Extended Properties=\"DBQ=%1;Driver={Tabrix bench: the built-in "
                       "engine};\";")
            .arg(file));
    connection.open();
    tabrix::TableDataset dataset;
    dataset.setObjectName("ADOTable");
    dataset.setConnection(&connection);
    dataset.setTableName(table);

    const long rssBefore = statusKiB("VmRSS");
    const auto start = Clock::now();
    dataset.open();
    const double openMs = msSince(start);
    const long rssAfter = statusKiB("VmRSS");
    const long peak = statusKiB("VmHWM");

    const std::size_t values = valueBytes(dataset);
    const std::size_t store = dataset.memoryUsed();
    std::printf("%s, table %s: %d rows, %d fields\n", qPrintable(file), qPrintable(table), dataset.recordCount(),
                dataset.fieldCount());
    std::printf("open: %.0f ms\n", openMs);
    std::printf("values: %.1f MiB; rows in memory (store and order): %.1f MiB = %.2fx the values\n",
                values / 1048576.0, store / 1048576.0, double(store) / values);
    std::printf("resident: %.1f MiB before open, %.1f MiB after (+%.1f MiB = %.2fx the values), peak %.1f MiB "
                "(+%.1f MiB = %.2fx)\n",
                rssBefore / 1024.0, rssAfter / 1024.0, (rssAfter - rssBefore) / 1024.0,
                (rssAfter - rssBefore) * 1024.0 / values, peak / 1024.0, (peak - rssBefore) / 1024.0,
                (peak - rssBefore) * 1024.0 / values);

    if (dataset.findField(textField)) {
      dataset.setRecNo(dataset.recordCount() / 2);
      const QString sample = dataset.fieldByName(textField).text();
      dataset.first();
      locateKeystrokes(dataset, textField, sample);
    }
    if (dataset.findField(numberField)) {
      dataset.setRecNo(dataset.recordCount() / 3);
      const QString sample = dataset.fieldByName(numberField).text();
      dataset.first();
      locateKeystrokes(dataset, numberField, sample);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dataset_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
