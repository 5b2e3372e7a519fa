// Opens a table through the data access component's built-in engine driver,
// the way a table window does, and prints what it cost: the time to open,
// the memory the rows take against the size of their values, and the time
// of a locate per keystroke.
//
//   dataset_bench DATABASE TABLE [FIELD...]

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"

namespace {

using bench::Clock;
using bench::msSince;
using bench::statusKiB;

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
        case DataType::UnsignedTinyInt: total += 1; break;
        case DataType::SmallInt: total += 2; break;
        case DataType::Integer:
        case DataType::Single: total += 4; break;
        case DataType::GUID: total += 16; break;
        case DataType::VarBinary:
        case DataType::Binary:
        case DataType::LongVarBinary: total += dataset.valueAt(row, f).toByteArray().size(); break;
        case DataType::Char:
        case DataType::VarChar:
        case DataType::LongVarChar:
        case DataType::Numeric: total += 2 * dataset.valueAt(row, f).toString().size(); break;
        default: total += 8;
      }
    }
  }
  return total;
}

const char* typeName(tabrix::DataType type) {
  using tabrix::DataType;
  switch (type) {
    case DataType::Boolean: return "yes/no";
    case DataType::UnsignedTinyInt:
    case DataType::SmallInt:
    case DataType::Integer: return "integer";
    case DataType::Currency: return "currency";
    case DataType::Single:
    case DataType::Double: return "real";
    case DataType::Date:
    case DataType::DBTimeStamp: return "date";
    case DataType::VarChar:
    case DataType::VarWChar:
    case DataType::Char:
    case DataType::WChar: return "text";
    case DataType::LongVarChar:
    case DataType::LongVarWChar: return "long text";
    case DataType::Numeric:
    case DataType::Decimal: return "decimal";
    case DataType::GUID: return "GUID";
    default: return "other";
  }
}

// Types the text of one row's value into the search box key by key, as the
// SQL window's search does: every keystroke is a locate from scratch.
void locateKeystrokes(tabrix::TableDataset& dataset, const tabrix::Field& field, int recNo) {
  dataset.setRecNo(recNo);
  const QString sample = field.text();
  dataset.first();
  if (sample.isEmpty()) {
    std::printf("locate %-8s: row %d holds nothing to type\n", qPrintable(field.name()), recNo);
    return;
  }
  std::vector<double> times;
  for (qsizetype n = 1; n <= sample.size(); ++n) {
    const auto start = Clock::now();
    const bool found = dataset.locate(field.name(), sample.left(n));
    times.push_back(msSince(start));
    if (!found) std::printf("  (\"%s\" not found)\n", qPrintable(sample.left(n)));
  }
  const double first = times.front();
  std::vector<double> rest(times.begin() + 1, times.end());
  std::sort(rest.begin(), rest.end());
  std::printf("locate %-8s (%s) \"%s\": first keystroke %.1f ms", qPrintable(field.name()), typeName(field.dataType()),
              qPrintable(sample), first);
  if (!rest.empty())
    std::printf(", then median %.1f ms, slowest %.1f ms over %zu more", rest[rest.size() / 2], rest.back(),
                rest.size());
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: dataset_bench DATABASE TABLE [FIELD...]\n");
    return 2;
  }
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  const QString file = QString::fromLocal8Bit(argv[1]);
  const QString table = QString::fromLocal8Bit(argv[2]);

  try {
    tabrix::Connection connection;
    tabrix::TableDataset dataset;
    bench::attachTable(connection, dataset, file, table);

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
    std::printf("values: %.1f MiB; rows in memory (store and order): %.1f MiB = %.2fx the values\n", values / 1048576.0,
                store / 1048576.0, double(store) / values);
    std::printf(
        "resident: %.1f MiB before open, %.1f MiB after (+%.1f MiB = %.2fx the values), peak %.1f MiB "
        "(+%.1f MiB = %.2fx)\n",
        rssBefore / 1024.0, rssAfter / 1024.0, (rssAfter - rssBefore) / 1024.0,
        (rssAfter - rssBefore) * 1024.0 / values, peak / 1024.0, (peak - rssBefore) / 1024.0,
        (peak - rssBefore) * 1024.0 / values);

    // Every column, or those named; the value typed is that of a row in the
    // middle.
    std::vector<const tabrix::Field*> searched;
    for (int i = 3; i < argc; ++i) searched.push_back(&dataset.fieldByName(QString::fromLocal8Bit(argv[i])));
    if (searched.empty())
      for (int i = 0; i < dataset.fieldCount(); ++i) searched.push_back(&dataset.field(i));
    for (const tabrix::Field* field : searched) locateKeystrokes(dataset, *field, dataset.recordCount() / 2);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dataset_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
